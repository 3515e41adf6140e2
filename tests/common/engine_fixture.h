#pragma once
// Shared set-up of the scheduling engine tests: a temporary database, a
// group with entries and courts, and a host with scripted answers.
#include "data/datamodule.h"
#include "data/schema.h"
#include "engine/engine.h"
#include "scheduling/groupdatasets.h"
#include "engine/schedulehost.h"
#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVector>
#include <algorithm>
#include <memory>
#include <random>

class ScriptedHost : public ScheduleHost {
public:
    QVector<Answer> answers;   // taken in turn; Yes when used up
    QStringList questions, warnings, messages;
    int yields = 0;
    int reconcileShown = 0;
    bool reconcileAnswer = true;
    QVector<ReconcileLine> reconcileLines;
    int reconcileMode = 0;
    double reconcileExpected = 0;
    bool busy = false;
    bool suspended = false;
    std::function<void()> onYield;
    // A clock of the test's own: every read moves it on by `tickMs`, as
    // if that much work had passed. With the interval 0 every point where
    // a run may yield does.
    int intervalMs = 0;
    qint64 tickMs = 0;
    mutable qint64 now = 0;
    qint64 lastYieldAt = 0;
    qint64 longestStretch = 0;   // most clock time between two yields

    Answer ask(const QString& text) override
    {
        questions << text;
        return answers.isEmpty() ? Yes : answers.takeFirst();
    }
    void warn(const QString& text) override { warnings << text; }
    void statusMessage(const QString& text) override { messages << text; }
    void setBusy(bool on) override { busy = on; }
    void suspendUpdates(bool on) override { suspended = on; }
    void yield() override
    {
        ++yields;
        longestStretch = std::max(longestStretch, now - lastYieldAt);
        lastYieldAt = now;
        if (onYield)
            onYield();
    }
    int yieldIntervalMs() const override { return intervalMs; }
    qint64 clockMs() const override { return now += tickMs; }
    bool showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected) override
    {
        ++reconcileShown;
        reconcileLines = lines;
        reconcileMode = mode;
        reconcileExpected = expected;
        return reconcileAnswer;
    }
};

struct GroupShape {
    int entries = 8;
    int perSession = 4;
    int courts = 1;
    int type = 0;   // 0 None, 1 Singles, 2 Doubles
    int weeks = 10;
    QDate start = QDate(2000, 3, 8);
    QVector<int> weekdays = {2};   // 1 Sunday ... 7 Saturday
};

class EngineFixture {
public:
    // A database of its own in `dir`, or the one at `location` (a directory
    // or a server URI, see testlocation.h).
    explicit EngineFixture(const QString& location = QString())
    {
        dm = std::make_unique<Tdmglobal>(location.isEmpty() ? dir.path() : location);
        QObject::connect(dm.get(), &Tdmglobal::beepRequested, [this] { ++beeps; });
        // Players from 101 and courts from 51 while entries start at 1: a
        // query joined on the wrong id column finds nothing.
        Schema::setNextId(db().connection(), Schema::require("PLAYERS"), 101);
        Schema::setNextId(db().connection(), Schema::require("COURTS"), 51);
    }

    Database& db() { return dm->database(); }
    // The fixture's SQL in the dialect of the database's engine.
    QString dialect(const QString& sql) { return translateSql(sql, nullptr, db().engine()); }

    int exec(const QString& sql, const QVariantList& binds = {})
    {
        QSqlQuery q(db().connection());
        q.prepare(dialect(sql));
        for (int i = 0; i < binds.size(); ++i)
            q.bindValue(i, binds[i]);
        if (!q.exec())
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.lastInsertId().toInt();
    }
    QVariant scalar(const QString& sql, const QVariantList& binds = {})
    {
        QSqlQuery q(db().connection());
        q.prepare(dialect(sql));
        for (int i = 0; i < binds.size(); ++i)
            q.bindValue(i, binds[i]);
        q.exec();
        return q.next() ? q.value(0) : QVariant();
    }

    int addGroup(const GroupShape& g, int rtype = 1)
    {
        static const char* days[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};
        QVariantList flags;
        for (int k = 1; k <= 7; ++k)
            flags << (g.weekdays.contains(k) ? 1 : 0);
        QStringList cols;
        for (auto d : days)
            cols << d;
        const int id =
            exec(QString("INSERT INTO \"group\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, BBON, %1) "
                         "VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?, ?)")
                     .arg(cols.join(", ")),
                 QVariantList{"G", g.start.toString(Qt::ISODate), g.weeks, g.perSession, g.type, rtype} + flags);
        for (int i = 1; i <= g.entries; ++i)
            addEntry(id, addPlayer(QString("P%1").arg(i), QString("L%1").arg(i)), i);
        for (int c = 1; c <= g.courts; ++c)
            addCourt(id, QString("Court %1").arg(c));
        return id;
    }
    int addPlayer(const QString& first, const QString& last)
    {
        return exec("INSERT INTO PLAYERS (FNAME, LNAME) VALUES (?, ?)", {first, last});
    }
    int addEntry(int groupId, int playerId, int seq)
    {
        return exec("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, GRPSEQNUM, PRIORITY, BBPRIORITY, SESPLAYED) "
                    "VALUES (?, ?, ?, 77, 77, 9)",
                    {groupId, playerId, seq});
    }
    int addCourt(int groupId, const QString& name)
    {
        const int court = exec("INSERT INTO COURTS (NAME) VALUES (?)", {name});
        exec("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (?, ?)", {court, groupId});
        return court;
    }
    void groupOff(int groupId, const QDate& d)
    {
        exec("INSERT INTO GROUPOFF (GROUPID, DATE) VALUES (?, ?)", {groupId, d.toString(Qt::ISODate)});
    }
    void playerOff(int playerId, const QDate& d)
    {
        exec("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (?, ?)", {playerId, d.toString(Qt::ISODate)});
    }

    // "Crowded": 20 doubles entries, 16 a session on four courts, Tuesdays and
    // Thursdays from 5 Jan 2027, the first five players off on `crowded`:
    // only 15 are free that date.
    int addCrowdedGroup(const QDate& crowded)
    {
        GroupShape g;
        g.entries = 20;
        g.perSession = 16;
        g.courts = 4;
        g.type = 2;
        g.start = QDate(2027, 1, 5);
        g.weekdays = {3, 5};
        const int group = addGroup(g);
        exec("UPDATE \"group\" SET NAME = 'Crowded' WHERE GROUPID = ?", {group});
        const QVector<int> ids = entryIds(group);
        for (int i = 0; i < 5; ++i)
            playerOff(scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {ids[i]}).toInt(), crowded);
        return group;
    }

    // Datasets positioned on the group, as an open editor has them.
    std::unique_ptr<GroupDatasets> open(int groupId)
    {
        auto ds = std::make_unique<GroupDatasets>(db());
        ds->open();
        ds->tbgroup.locate("GROUPID", groupId);
        return ds;
    }

    QVector<int> entryIds(int groupId)
    {
        QVector<int> ids;
        QSqlQuery q(db().connection());
        q.prepare(dialect("SELECT GROUPPLAYERID FROM GRPPLAYR WHERE GROUPID = ? ORDER BY GROUPPLAYERID"));
        q.addBindValue(groupId);
        q.exec();
        while (q.next())
            ids << q.value(0).toInt();
        return ids;
    }
    QVector<QDate> dates(int groupId)
    {
        QVector<QDate> out;
        QSqlQuery q(db().connection());
        q.prepare(dialect("SELECT DISTINCT s.DATE FROM SCHEDULE s JOIN GRPPLAYR g ON g.GROUPPLAYERID = s.GRPPLAYRID "
                          "WHERE g.GROUPID = ? ORDER BY s.DATE"));
        q.addBindValue(groupId);
        q.exec();
        while (q.next())
            out << QDate::fromString(q.value(0).toString(), Qt::ISODate);
        return out;
    }
    int rowsOf(int entry) { return scalar("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = ?", {entry}).toInt(); }
    int played(int entry) { return scalar("SELECT SESPLAYED FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {entry}).toInt(); }
    int rowsOn(int groupId, const QDate& d)
    {
        return scalar("SELECT COUNT(*) FROM SCHEDULE s JOIN GRPPLAYR g ON g.GROUPPLAYERID = s.GRPPLAYRID "
                      "WHERE g.GROUPID = ? AND s.DATE = ?",
                      {groupId, d.toString(Qt::ISODate)})
            .toInt();
    }
    int doubledOn(int groupId)   // (entry, date) pairs with more than one row
    {
        return scalar("SELECT COUNT(*) FROM (SELECT s.GRPPLAYRID, s.DATE FROM SCHEDULE s JOIN GRPPLAYR g ON "
                      "g.GROUPPLAYERID = s.GRPPLAYRID WHERE g.GROUPID = ? GROUP BY s.GRPPLAYRID, s.DATE "
                      "HAVING COUNT(*) > 1)",
                      {groupId})
            .toInt();
    }

    // Everything a run writes, row by row: the schedule with its marks, the
    // entries' counters and the pairings table (not the row versions, which
    // every change moves on).
    QStringList snapshot()
    {
        QStringList rows;
        for (const char* sql : {"SELECT * FROM SCHEDULE ORDER BY SCHEDULEID",
                                "SELECT GROUPPLAYERID, PRIORITY, BBPRIORITY, SESPLAYED FROM GRPPLAYR ORDER BY 1",
                                "SELECT * FROM MATCHES ORDER BY MATCHID", "SELECT NumPerSes FROM \"group\""}) {
            QSqlQuery q(db().connection());
            q.exec(dialect(sql));
            while (q.next()) {
                QStringList values;
                for (int c = 0; c < q.record().count(); ++c)
                    if (q.record().fieldName(c).compare(Schema::rowVersionColumn, Qt::CaseInsensitive) != 0)
                        values << (q.isNull(c) ? QString() : q.value(c).toString());
                rows << values.join('|');
            }
        }
        return rows;
    }

    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;
    int beeps = 0;
    std::mt19937 rng{12345};
};
