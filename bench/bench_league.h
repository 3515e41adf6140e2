#pragma once

// League generation end to end through the engine (pairings, dates, marks),
// each run against the rows-only floor (enginebench.h); prints the figures,
// the longest stretch of work between two yields and whether every round
// holds every pairing exactly once.
void benchLeague();
