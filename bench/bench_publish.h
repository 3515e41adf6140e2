#pragma once

// Times publishing a generated doubles group (the season's page and, per
// player, a page and a calendar feed) into a temporary folder: 64 players
// over 104 dates against the aim of 0.3 s, and 1,000 players over 260 dates
// against 3 s. Needs a running QApplication.
void benchPublish();
