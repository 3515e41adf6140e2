#pragma once
// The figures every benchmark reports from its runs' times.
#include <QVector>
#include <algorithm>

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
