#pragma once

// Times group generation end to end (questions answered Yes, reconciliation
// accepted) for the shapes organisers meet, each against sqlite3 writing as
// many rows in one transaction; prints the figures and the longest stretch
// of work between two yields to the event loop.
void benchScheduling();
