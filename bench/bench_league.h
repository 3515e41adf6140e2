#pragma once

// League generation end to end through the engine (pairings, dates, marks),
// each shape against sqlite3 writing as many rows in one transaction; prints
// the figures, the longest stretch of work between two yields and whether
// every round holds every pairing exactly once.
void benchLeague();
