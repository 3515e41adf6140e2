#include "runguard.h"
#include "database.h"
#include "dberror.h"
#include "query.h"
#include "schema.h"
#include <QMutex>
#include <QSet>

namespace {

// The server lets one connection take its own lock again; two runs of one
// group in this program are kept apart here, as a lock file keeps them.
QMutex heldMutex;
QSet<QPair<QString, int>>& heldOnServer()
{
    static QSet<QPair<QString, int>> held;
    return held;
}

}   // namespace

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

ScheduleRunGuard::ScheduleRunGuard(Database& database, int groupId, const QDate& startDate, int weeks)
    : db(database), group(groupId)
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
    if (db.isServer()) {
        if (!lockOnServer())
            reason = RunElsewhere;
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

bool ScheduleRunGuard::lockOnServer()
{
    const QPair<QString, int> key(db.connection().connectionName(), group);
    QMutexLocker locked(&heldMutex);
    if (heldOnServer().contains(key))
        return false;
    // A session lock, not a transaction's: the run writes in transactions of
    // its own, and the lock must outlast them.
    Query q(db, QStringLiteral("SELECT pg_try_advisory_lock(%1, :groupid)").arg(Database::RunOfGroup));
    q.setInteger("groupid", group);
    q.open();
    if (!q.value(0).toBool())
        return false;
    heldOnServer().insert(key);
    serverLock = true;
    return true;
}

ScheduleRunGuard::~ScheduleRunGuard()
{
    if (!serverLock)
        return;
    {
        QMutexLocker locked(&heldMutex);
        heldOnServer().remove({db.connection().connectionName(), group});
    }
    try {
        Query q(db, QStringLiteral("SELECT pg_advisory_unlock(%1, :groupid)").arg(Database::RunOfGroup));
        q.setInteger("groupid", group);
        q.open();
    } catch (const DbError&) {
        // A connection that is gone has freed the lock with it.
    }
}
