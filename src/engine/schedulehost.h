#pragma once
#include <QString>
#include <QVector>
#include <chrono>

// One line of the reconcile dialog's list.
struct ReconcileLine {
    int sessionsPlayed = 0;   // "# On"
    int groupPlayerId = 0;    // "Id"
    QString playerName;       // "Player Name": first name, a blank, last name
};

// What the scheduling engine needs of the window that runs it. The group
// editor answers with message boxes and the event loop; tests script it.
class ScheduleHost {
public:
    enum Answer { Yes, No };
    virtual ~ScheduleHost() = default;

    // A question in an error-type box with Yes, No and Help (help context
    // 13); Help opens the topic and the question stays.
    virtual Answer ask(const QString& text) = 0;
    // A message in an error-type box with OK and Help (help context 13).
    virtual void warn(const QString& text) = 0;
    // Panel 1 of the frame's status bar.
    virtual void statusMessage(const QString& text) = 0;
    // Hourglass on or off; nested calls are not counted.
    virtual void setBusy(bool busy) = 0;
    // Screen updates of the editor's entries and courts lists held off or resumed.
    virtual void suspendUpdates(bool suspended) = 0;
    // Lets pending window messages run (the user may press Cancel meanwhile).
    virtual void yield() = 0;
    // A run yields once this many milliseconds of work have passed since
    // its last yield, at the next point where it can: so the window stays
    // responsive without the run paying for a yield at every step.
    virtual int yieldIntervalMs() const { return 30; }
    // The clock that interval is measured on, in milliseconds.
    virtual qint64 clockMs() const
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    // The reconcile dialog: `mode` 1 when the schedule can be reconciled, 2
    // when it cannot; `expected` goes into the caption. True when closed
    // with OK ("Reconcile" in mode 1).
    virtual bool showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected) = 0;
    // A planned schedule that breaks the rules, described in `text`. True
    // writes it all the same; the default tells and keeps the old schedule.
    virtual bool keepFaultySchedule(const QString& text)
    {
        warn(text + QStringLiteral("\nIt was not written: the previous schedule stays as it was. Check the "
                                   "group's settings and days off and generate again."));
        return false;
    }
};
