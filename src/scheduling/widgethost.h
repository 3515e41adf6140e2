#pragma once
#include "schedulehost.h"
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
    void yield() override;
    bool showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected) override;

    // An error-type box with Yes and No (or OK alone) and a Help button that
    // opens help topic 13 and leaves the box open. True for Yes or OK.
    static bool messageBox(QWidget* parent, const QString& text, bool question);

private:
    QWidget* window;
    std::unique_ptr<BusyCursor> busy;
    std::vector<std::unique_ptr<UpdatesSuspended>> suspended;
};
