#pragma once
// "Group Days Off": the dates on which a group or league does not play.
// Call: Tdlggroupoff::execFor(parent, groupId);  // 0 = the first by name
// The chooser lists groups and leagues together. Everything is written by
// the dialog itself; the caller gets nothing back.
#include "daysoffdialog.h"

class Tdlggroupoff : public DaysOffDialog {
    Q_OBJECT
public:
    Tdlggroupoff(QWidget* parent, int groupId);
    static void execFor(QWidget* parent, int groupId);
};
