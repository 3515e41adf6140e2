#pragma once
// The figures every benchmark reports from its runs' times.
#include <QVector>
#include <algorithm>
#include <ctime>

struct Timings {
    double median = 0, best = 0;
    double first = 0;   // the first run, with whatever one-time set-up it paid for
};

// `ms`: the runs' times in the order they ran.
inline Timings summarize(QVector<double> ms)
{
    if (ms.isEmpty())
        return {};
    const double first = ms.first();
    std::sort(ms.begin(), ms.end());
    return Timings{ms[ms.size() / 2], ms.first(), first};
}

inline double median(const QVector<double>& ms)
{
    return summarize(ms).median;
}

// Processor time of the whole process (every thread) in ms. On a machine
// shared with other work the wall time also holds waiting for a processor;
// this is what the work itself cost.
inline double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
