#pragma once

// Times group generation end to end (questions answered Yes, reconciliation
// accepted) for the shapes organisers meet, each against sqlite3 writing as
// many rows in one transaction; prints the figures and the longest stretch
// of work between two yields to the event loop.
void benchScheduling();

class Database;
// The benchmark's group (64 entries, 32 a session, 8 courts, 52 weeks on
// Mondays and Thursdays), not yet generated; its GROUPID.
int createGroup(Database& db);
