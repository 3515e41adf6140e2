#pragma once

// Re-plans the second half of the scheduling benchmark's group (64 entries,
// 104 dates) from its middle date, each run on a fresh copy of the generated
// season, and prints the times (the aim is at most 0.1 s), the processor
// time, the longest stretch without a yield, the evenness reached and the
// time of the undo that puts the season back.
void benchSeason();
