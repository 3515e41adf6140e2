#pragma once
#include "engine/schedulehost.h"
#include <memory>
#include <vector>

class BusyCursor;
class QWidget;
class UpdatesSuspended;

// The scheduling engine's host in a window: message boxes, the status bar,
// the hourglass, the event loop and the reconcile dialog.
class WidgetScheduleHost : public ScheduleHost {
public:
    explicit WidgetScheduleHost(QWidget* window);
    ~WidgetScheduleHost() override;

    Answer ask(const QString& text) override;
    void warn(const QString& text) override;
    void statusMessage(const QString& text) override;
    void setBusy(bool busy) override;
    void suspendUpdates(bool suspended) override;
    // Lets the window messages run; user input meanwhile reaches only the
    // Cancel command.
    void yield() override;
    int yieldIntervalMs() const override { return interval(); }
    bool showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected) override;
    // Asked with No as the default: Enter must not write a faulty schedule.
    bool keepFaultySchedule(const QString& text) override;

    // An error-type box with Yes and No (or OK alone) and a Help button that
    // opens help topic 13 and leaves the box open. True for Yes or OK.
    static bool messageBox(QWidget* parent, const QString& text, bool question, bool defaultNo = false);

    // The work between two yields of every run in a window, 30 ms unless
    // set; a test sets 0 to meet the run at its first chance.
    static void setYieldInterval(int ms) { interval() = ms; }

private:
    static int& interval()
    {
        static int ms = 30;
        return ms;
    }

    QWidget* window;
    std::unique_ptr<BusyCursor> busy;
    std::vector<std::unique_ptr<UpdatesSuspended>> suspended;
};
