#pragma once
#include <QElapsedTimer>
#include <functional>

// Long work on the window's thread (reading a big report) calls
// checkpoint() between its pieces; once the interval has passed since the
// window's events last ran, they run: the windows repaint and timers fire,
// while the user's keys and clicks wait as they would for a busy window.
// Checkpoints in between cost a clock read, so work may call them often.
class EventPacer {
public:
    // `yield` runs the events; the default is the application's event loop.
    explicit EventPacer(int intervalMs = 30, std::function<void()> yield = {});

    void checkpoint();
    int yields() const { return count; }

private:
    int interval;
    std::function<void()> yieldTo;
    QElapsedTimer sinceYield;
    int count = 0;
};
