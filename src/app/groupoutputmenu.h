#pragma once
class QMenu;
class Tfrmmain;

// The Action menu's exports and fairness report for the active group
// editor; with any other child window active they beep, as commands do.
void addGroupOutputItems(Tfrmmain& frame, QMenu* actionMenu);

// File > Publish Season... for the active group editor.
void addPublishItem(Tfrmmain& frame, QMenu* fileMenu);
