#include "commandrouter.h"
#include "windows/childwindow.h"
#include <utility>

RouteAction routeActionFor(int windowKind, int commandCode)
{
    using A = RouteAction;
    if (commandCode == CmdCloseWindow && windowKind >= ChildWindow::PlayerList &&
        windowKind <= ChildWindow::SeasonWindow)
        return A::CloseWindow;

    switch (windowKind) {
    case ChildWindow::PlayerList:
    case ChildWindow::CourtList:
        switch (commandCode) {
        case CmdAddNew: return A::AddNew;
        case CmdSave: return A::Save;
        case CmdCancel: return A::Cancel;
        case CmdDelete: return A::Delete;
        default: break;
        }
        if (windowKind == ChildWindow::PlayerList) {
            switch (commandCode) {
            case CmdPrint: return A::PrintMailingLabels;
            case CmdTimeOff: return A::TimeOff;
            case CmdLabelSetup: return A::LabelSetup;
            default: break;
            }
        }
        return A::Beep;
    case ChildWindow::GroupList:
        switch (commandCode) {
        case CmdAddNew: return A::AddNew;
        // The list has nothing to post, cancel or delete in place: these are
        // quietly ignored rather than treated as mistakes.
        case CmdSave:
        case CmdCancel:
        case CmdDelete: return A::Nothing;
        case CmdOpen: return A::Open;
        default: return A::Beep;
        }
    case ChildWindow::GroupEditor:
        switch (commandCode) {
        case CmdAddNew: return A::AddNew;
        case CmdSave: return A::Save;
        case CmdCancel: return A::Cancel;
        case CmdDelete: return A::Delete;
        case CmdSchedule: return A::Schedule;
        case CmdPrint: return A::Print;
        case CmdTimeOff: return A::TimeOff;
        case CmdEditSchedule: return A::EditSchedule;
        case CmdSeason: return A::Season;
        default: return A::Beep;
        }
    case ChildWindow::SeasonWindow: return commandCode == CmdPrint ? A::Print : A::Beep;
    default: return A::Beep;
    }
}

CommandRouter::CommandRouter(Services services) : svc(std::move(services)) {}

void CommandRouter::route(int commandCode)
{
    ChildWindow* child = svc.activeChild ? svc.activeChild() : nullptr;
    if (!child) {
        callOrBeep({});
        return;
    }
    perform(routeActionFor(child->windowKind(), commandCode), *child);
}

void CommandRouter::perform(RouteAction action, ChildWindow& child)
{
    using A = RouteAction;
    switch (action) {
    case A::Beep: callOrBeep({}); break;
    case A::Nothing: break;
    case A::CloseWindow: callOrBeep(svc.closeActive); break;
    case A::AddNew: child.commandAddNew(); break;
    case A::Save: child.commandSave(); break;
    case A::Cancel: child.commandCancel(); break;
    case A::Delete: child.commandDelete(); break;
    case A::Open: child.commandOpen(); break;
    case A::Schedule: child.commandSchedule(); break;
    case A::Print: child.commandPrint(); break;
    case A::TimeOff: child.commandTimeOff(); break;
    case A::EditSchedule: child.commandEditSchedule(); break;
    case A::PrintMailingLabels: callOrBeep(svc.printMailingLabels); break;
    case A::LabelSetup: callOrBeep(svc.labelSetup); break;
    case A::Season: child.commandSeason(); break;
    }
}

void CommandRouter::callOrBeep(const std::function<void()>& handler)
{
    if (handler)
        handler();
    else if (svc.beep)
        svc.beep();
}
