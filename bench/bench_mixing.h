#pragma once

// The 64-entry doubles group (32 a session on 8 courts, 52 weeks on two
// days) generated with "Mix partners and opponents" off and on, runs taken
// in turn, and the time the seating takes per date for 40 players.
void benchMixing();
