#pragma once

// Times a group's generation end to end (64 entries, 32 a session, 8 courts,
// 52 weeks on two days, reconciliation accepted) against the time the
// sqlite3 library takes for the same number of single-statement writes in
// autocommit on the same kind of file, and prints both and their ratio.
void benchScheduling();

class Database;
// The benchmark's group (64 entries, 32 a session, 8 courts, 52 weeks on
// Mondays and Thursdays), not yet generated; its GROUPID.
int createGroup(Database& db);
