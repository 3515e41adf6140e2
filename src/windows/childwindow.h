#pragma once
#include <QString>

// What the frame's command router needs of a child window. Every child window
// widget also inherits this; the router looks at the active one's kind and
// calls the handler its table names, or beeps. A handler runs inside the
// frame's error guard, so it may let a DbError escape.
class ChildWindow {
public:
    enum Kind { PlayerList = 1, CourtList = 2, GroupList = 3, GroupEditor = 4, SeasonWindow = 5 };
    virtual ~ChildWindow() = default;

    virtual int windowKind() const = 0;
    // Name of the state of the dataset the window is working on, for panel 0
    // of the status bar when the window becomes active; empty lets the frame
    // read it from the window's grids.
    virtual QString datasetStateName() const { return QString(); }

    virtual void commandAddNew() {}         // code 1
    virtual void commandSave() {}           // code 2
    virtual void commandCancel() {}         // code 3
    virtual void commandDelete() {}         // code 4
    virtual void commandOpen() {}           // code 6
    virtual void commandSchedule() {}       // code 7
    virtual void commandPrint() {}          // code 8 (group editor; labels are the router's)
    virtual void commandTimeOff() {}        // code 9
    virtual void commandEditSchedule() {}   // code 10
    virtual void commandSeason() {}         // code 14 (group editor: its season window)
};
