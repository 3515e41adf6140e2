#pragma once
#include <QString>
#include <functional>

class QWidget;

// Runs a command or button handler so that no exception crosses the event
// loop: a failure is shown in the standard error box (title "Vantrel") and
// the program goes on. Returns false when the handler failed.
bool guarded(QWidget* parent, const std::function<void()>& handler);

// The error box itself; tests replace it to collect the messages.
void showErrorBox(QWidget* parent, const QString& message);
void setErrorBoxHandler(std::function<void(const QString&)> handler);

// Hourglass while an operation runs; unwinding restores the cursor.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Screen updates of a widget held off while a long operation refills it.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(QWidget* widget);
    ~UpdatesSuspended();
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

private:
    QWidget* widget;
    bool wasEnabled;
};
