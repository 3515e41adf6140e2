#pragma once

// Times group generation end to end (questions answered Yes, reconciliation
// accepted) for the shapes organisers meet, from 64 entries on 104 dates to
// 1,000 entries on 260; each run against the rows-only floor (enginebench.h),
// with processor time beside wall time and the longest stretch of work
// between two yields to the event loop.
void benchScheduling();

class Database;
// The benchmark's group (64 entries, 32 a session, 8 courts, 52 weeks on
// Mondays and Thursdays), not yet generated; its GROUPID.
int createGroup(Database& db);
