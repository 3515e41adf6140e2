#include "runstate.h"
#include <QCoreApplication>
#include <QTimer>
#include <utility>

namespace {

QVector<std::function<void()>>& pendingCloses()
{
    static QVector<std::function<void()>> closes;
    return closes;
}

}   // namespace

RunState& runState()
{
    static RunState state;
    return state;
}

bool requestCloseDuringRun(const std::function<void()>& close, RunState& state)
{
    if (!state.running)
        return true;
    state.stopRequest = true;
    state.closeRequested = true;
    pendingCloses().append(close);
    return false;
}

RunInProgress::RunInProgress(RunState& s) : state(s)
{
    state.running = true;
    state.closeRequested = false;
}

RunInProgress::~RunInProgress()
{
    state.running = false;
    state.closeRequested = false;
    const auto closes = std::exchange(pendingCloses(), {});
    // From the event loop: the window's handler that ran the engine is
    // still on the stack here and must return before its window goes.
    for (const auto& close : closes)
        if (close)
            QTimer::singleShot(0, QCoreApplication::instance(), close);
}
