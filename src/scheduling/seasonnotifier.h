#pragma once
#include <QObject>

// Tells every open window that a group's schedule or its entries' counts
// changed, so that the group editor's "Days On" and any other view of it
// show the change at once. Emits only; holds no state.
class SeasonNotifier : public QObject {
    Q_OBJECT
public:
    static SeasonNotifier& instance()
    {
        static SeasonNotifier notifier;
        return notifier;
    }

signals:
    void scheduleChanged(int groupId);
};
