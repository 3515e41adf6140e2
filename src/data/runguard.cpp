#include "runguard.h"
#include "database.h"
#include "query.h"
#include "schema.h"

const QString ScheduleRunGuard::GroupGone = QStringLiteral("This group or league no longer exists.");
const QString ScheduleRunGuard::RunElsewhere =
    QStringLiteral("Another Vantrel window is generating the schedule of this group or league. Wait until "
                   "it has finished, then generate again.");
const QString ScheduleRunGuard::DatesPastLimit =
    QStringLiteral("The schedule would run past 31 December 9999, the last date Vantrel can store. "
                   "Choose an earlier start date or fewer weeks.");

bool ScheduleRunGuard::groupExists(Database& db, int groupId)
{
    Query q(db, QStringLiteral("SELECT GROUPID FROM \"group.DB\" WHERE GROUPID = :groupid"));
    q.setInteger("groupid", groupId);
    q.open();
    return !q.isEmpty();
}

ScheduleRunGuard::ScheduleRunGuard(Database& db, int groupId, const QDate& startDate, int weeks)
{
    // One week more than asked: a date is moved to its weekday within the week.
    if (startDate.isValid() && startDate.addDays(qint64(std::max(weeks, 0) + 1) * 7) > Schema::lastStorableDate()) {
        reason = DatesPastLimit;
        return;
    }
    if (!groupExists(db, groupId)) {
        reason = GroupGone;
        return;
    }
    lock = std::make_unique<QLockFile>(db.path() + QStringLiteral("-run-%1.lock").arg(groupId));
    // A long run must keep its lock; only a run whose process is gone loses it.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        lock.reset();
        reason = RunElsewhere;
    }
}

ScheduleRunGuard::~ScheduleRunGuard() = default;
