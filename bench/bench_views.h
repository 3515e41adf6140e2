#pragma once

// Times opening a group editor on one group while the schedule holds 100,000
// rows of other groups, and opening the schedule view on a group with 2,000
// rows of its own, each from construction to the window painted on screen;
// then the season window of a group of 240 entries and of one with 100,000
// schedule rows.
void benchViews();
