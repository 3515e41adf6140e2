#pragma once
#include <functional>

class ChildWindow;

// Command codes issued by the frame's menus, tool buttons and function keys.
enum CommandCode {
    CmdAddNew = 1,
    CmdSave = 2,
    CmdCancel = 3,
    CmdDelete = 4,
    CmdCloseWindow = 5,
    CmdOpen = 6,
    CmdSchedule = 7,
    CmdPrint = 8,
    CmdTimeOff = 9,
    CmdEditSchedule = 10,
    CmdLabelSetup = 13,
    CmdSeason = 14,   // the group editor's season window
};

// What a command means for a window of a given kind.
enum class RouteAction {
    Beep,
    Nothing,
    CloseWindow,
    AddNew,
    Save,
    Cancel,
    Delete,
    Open,
    Schedule,
    Print,
    TimeOff,
    EditSchedule,
    PrintMailingLabels,
    LabelSetup,
    Season,
};

// The table of window kinds and command codes; anything it does not name beeps.
RouteAction routeActionFor(int windowKind, int commandCode);

// Passes a command to the active child window, or beeps. Holds no state of
// its own: each command looks at the window active at that moment.
class CommandRouter {
public:
    struct Services {
        std::function<ChildWindow*()> activeChild;   // null when no child window is open
        std::function<void()> closeActive;
        std::function<void()> beep;
        std::function<void()> printMailingLabels;   // empty until the reports are installed
        std::function<void()> labelSetup;
    };

    explicit CommandRouter(Services services);
    void route(int commandCode);
    Services& services() { return svc; }

private:
    void perform(RouteAction action, ChildWindow& child);
    void callOrBeep(const std::function<void()>& handler);

    Services svc;
};
