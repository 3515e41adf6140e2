#pragma once

class QWidget;

// Footer Setup: asks for the footer text of the printed schedule, starting
// from the current one, and stores what the user confirms. Cancel keeps the
// setting. Returns true when a text was stored.
bool runFooterSetup(QWidget* parent);
