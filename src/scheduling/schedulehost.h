#pragma once
#include <QString>

class QWidget;

// What the scheduling engine needs of the window that runs it. The group
// editor answers with message boxes and the event loop; tests script it.
class ScheduleHost {
public:
    enum Answer { Yes, No };
    virtual ~ScheduleHost() = default;

    // A question with Yes, No and Help (help context 13).
    virtual Answer ask(const QString& text) = 0;
    // A plain warning with OK.
    virtual void warn(const QString& text) = 0;
    virtual void statusMessage(const QString& text) = 0;
    virtual void setBusy(bool busy) = 0;
    // Lets pending window messages run (the user may press Cancel meanwhile).
    virtual void yield() = 0;
    // The reconcile dialog; returns true when the user asked to reconcile.
    // `rows` are the lines the dialog lists.
    virtual bool showReconcile(const QStringList& rows, bool canReconcile) = 0;
};
