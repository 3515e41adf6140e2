#pragma once
#include "data/kinds.h"
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
// A group editor's icon: a group's or a league's.
QIcon editorWindow(RecordKind recordKind);
QIcon season();   // the season window: a calendar with a trade of dates

// Window icon of a group list or league list.
QIcon listWindow(RecordKind listKind);
}   // namespace Icons
