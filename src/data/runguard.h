#pragma once
#include <QDate>
#include <QLockFile>
#include <QString>
#include <memory>

class Database;

// What a schedule run checks before it writes anything, held for the whole
// run: the group or league is still stored, no other run of it is in
// progress in any Vantrel on the same database, and its dates stay within
// what the database can hold. A lock file beside a database file marks the
// run; on a server, a lock of the run's connection. A run that ended
// without removing it (a crash) no longer counts: the server frees the lock
// of a client that is gone.
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
    bool lockOnServer();

    Database& db;
    int group;
    std::unique_ptr<QLockFile> lock;
    bool serverLock = false;
    QString reason;
};
