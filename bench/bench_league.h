#pragma once

// League scheduling times, end to end over the pairing steps of a run: a
// singles league of 24 entries on 6 courts over 3 rounds and a doubles league
// of 12 teams on 3 courts over 2 rounds, each on a fresh database. Prints its
// figures; needs a running QCoreApplication.
void benchLeague();
