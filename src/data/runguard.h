#pragma once
#include <QDate>
#include <QLockFile>
#include <QString>
#include <memory>

class Database;

// What a schedule run checks before it writes anything, held for the whole
// run: the group or league is still stored, no other run of it is in
// progress in any Vantrel on the same file, and its dates stay within what
// the file can hold. A lock file beside the database marks the run; a run
// that ended without removing it (a crash) no longer counts.
class ScheduleRunGuard {
public:
    // `weeks`: how many weeks from `startDate` the run may walk.
    ScheduleRunGuard(Database& db, int groupId, const QDate& startDate, int weeks);
    ~ScheduleRunGuard();
    ScheduleRunGuard(const ScheduleRunGuard&) = delete;
    ScheduleRunGuard& operator=(const ScheduleRunGuard&) = delete;

    // Empty when the run may go on; else the message that refuses it.
    QString refusal() const { return reason; }

    static const QString GroupGone;
    static const QString RunElsewhere;
    static const QString DatesPastLimit;

    // True when the group's row is stored.
    static bool groupExists(Database& db, int groupId);

private:
    std::unique_ptr<QLockFile> lock;
    QString reason;
};
