#pragma once
// A scheduling host for the benchmarks: accepts every question and the
// reconciliation, counts what it was asked, lets the event loop run.
#include "engine/schedulehost.h"
#include <QCoreApplication>

class AcceptingHost : public ScheduleHost {
public:
    int questions = 0;
    Answer ask(const QString&) override
    {
        ++questions;
        return Yes;
    }
    void warn(const QString&) override { ++questions; }
    void statusMessage(const QString&) override {}
    void setBusy(bool) override {}
    void suspendUpdates(bool) override {}
    void yield() override { QCoreApplication::processEvents(); }
    bool showReconcile(const QVector<ReconcileLine>&, int, double) override { return true; }
};
