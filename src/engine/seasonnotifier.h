#pragma once
#include "standings.h"
#include <QMetaMethod>
#include <QObject>
#include <QString>
#include <QVector>

class QWidget;

// Tells every open window that a group's schedule or its entries' counts
// changed, so that the group editor's "Days On" and any other view of it
// show the change at once; and carries the season window's requests to
// what lives above this library (the frame, the standings report), which
// the application connects at start-up. Emits only; holds no state.
class SeasonNotifier : public QObject {
    Q_OBJECT
public:
    static SeasonNotifier& instance()
    {
        static SeasonNotifier notifier;
        return notifier;
    }

    // Whether anything prints standings (nothing does on the command line).
    bool printsStandings() const
    {
        return isSignalConnected(QMetaMethod::fromSignal(&SeasonNotifier::standingsPrintRequested));
    }

signals:
    void scheduleChanged(int groupId);
    // A season window was created; the frame takes it in as a child window.
    void seasonWindowOpened(QWidget* window);
    // A league's standings to print, with dialogs over `parent`.
    void standingsPrintRequested(const QString& league, const QVector<StandingLine>& standings, QWidget* parent);
};
