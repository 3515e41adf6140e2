#pragma once
#include <QIcon>

// The program's own tool-button and window images, drawn at run time so that
// they scale with the screen.
namespace Icons {
QIcon players();
QIcon courts();
QIcon groups();
QIcon leagues();
QIcon exit();
QIcon timeOff();
QIcon schedule();
QIcon print();
QIcon addNew();
// The program's own icon, for the frame and every window without one.
QIcon application();
// A group editor's icon: a group's (record kind 1) or a league's (2).
QIcon editorWindow(int recordKind);
QIcon season();    // the season window: a calendar with a trade of dates

// Window icon of a group list (list kind 1) or league list (list kind 2).
QIcon listWindow(int listKind);
} // namespace Icons
