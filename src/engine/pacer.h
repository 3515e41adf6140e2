#pragma once
#include "schedulehost.h"

// Where a run may let the window messages run, it asks the pacer; the pacer
// yields only when the host's interval of work has passed since the last
// yield. Steps of a few microseconds thus cost a clock read, not a trip
// through the event loop, and no stretch of work runs much past the interval.
class YieldPacer {
public:
    explicit YieldPacer(ScheduleHost& h) : host(h), lastYield(h.clockMs()) {}

    void checkpoint()
    {
        if (host.clockMs() - lastYield < host.yieldIntervalMs())
            return;
        host.yield();
        lastYield = host.clockMs();
    }

private:
    ScheduleHost& host;
    qint64 lastYield;
};
