#pragma once
#include <QVector>
#include <functional>

// The figures of the generation in progress. One set exists for the whole
// program: the generator, reconciliation, ball duty and league pairing share it.
struct RunState {
    int entryCount = 0;          // P
    int playersPerSession = 0;   // N
    int byeCount = 0;            // P - N
    double priorityThreshold = 5000;
    bool stopRequest = false;

    // A run is in progress (it yields to the event loop now and then): every
    // command but Cancel beeps meanwhile, and closing waits for its end.
    bool running = false;
    // A window asked to close during the run: the run stops at the end of
    // the week and leaves out the printed schedule.
    bool closeRequested = false;

    // League pairing
    bool byeFlag = false;    // exactly one entry sits out each date
    QVector<int> byeOrder;   // GROUPPLAYERIDs, indexed from 0
    int byeCursor = 0;
    int roundsWanted = 0;
    int roundsBuilt = 0;
    int matchCount = 0;
    int usedSinceBuild = 0;
};

RunState& runState();

// For a window (or the frame) asked to close while a run is using its
// datasets: sets the stop request and runs `close` from the event loop once
// the run has ended. Without a run in progress the answer is true and the
// caller closes as usual; otherwise the answer is false and the caller
// ignores the close event (`close` will close it later).
bool requestCloseDuringRun(const std::function<void()>& close, RunState& state = runState());

// Marks a run as started and, when the object goes, as ended (also when a
// failure unwinds it); then the deferred close requests run.
class RunInProgress {
public:
    explicit RunInProgress(RunState& state = runState());
    ~RunInProgress();
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;

private:
    RunState& state;
};
