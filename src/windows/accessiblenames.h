#pragma once
// Names a screen reader reads for the controls of a window. Qt names a
// control by its own text (a button, a check box), by the label whose buddy
// it is, or by its accessible name. The forms place their labels beside
// their fields without making them buddies; this pairs them by the layout
// and names what has no label by its hint.

class QWidget;

// Makes each label without a buddy the label of the control beside it in
// its layout (to its right, else below it), and names each control still
// without a name by its tool tip.
void nameControls(QWidget* window);

// Runs nameControls on every window and child window of the application
// as it is shown. Calling it again changes nothing.
void nameControlsOfEveryWindow();
