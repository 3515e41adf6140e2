#pragma once
// A scheduling host for the benchmarks: accepts every question and the
// reconciliation, lets the event loop run when the engine yields, and notes
// the longest stretch of work the window would have been frozen for.
#include "engine/schedulehost.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

class AcceptingHost : public ScheduleHost {
public:
    AcceptingHost() { clock.start(); }

    Answer ask(const QString&) override
    {
        ++questions;
        noteBoxShown();
        return Yes;
    }
    void warn(const QString&) override
    {
        ++questions;
        noteBoxShown();
    }
    void statusMessage(const QString&) override {}
    void setBusy(bool) override {}
    void suspendUpdates(bool) override {}
    void yield() override
    {
        endStretch();
        ++yields;
        QCoreApplication::processEvents();
        startStretch();
    }
    bool showReconcile(const QVector<ReconcileLine>&, int, double) override
    {
        noteBoxShown();
        return true;
    }

    // A stretch starts when the work starts and after each yield, and ends
    // at the next yield or when the work ends (the caller says so).
    void startStretch() { stretchStart = clock.nsecsElapsed(); }
    void endStretch() { longestStretchMs = std::max(longestStretchMs, (clock.nsecsElapsed() - stretchStart) / 1e6); }

    int questions = 0;
    int yields = 0;
    double longestStretchMs = 0;

private:
    // In the window a message box runs the event loop while it is open, so
    // the window is not frozen across it: it ends one stretch and starts the next.
    void noteBoxShown()
    {
        endStretch();
        startStretch();
    }

    QElapsedTimer clock;
    qint64 stretchStart = 0;
};
