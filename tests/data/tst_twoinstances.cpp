// Two Vantrel instances on one database, each standing as its own Database:
// no update of one is lost to the other without the user being told. Each
// case runs on a file and on a server.
#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/runguard.h"
#include "data/transaction.h"
#include "datarows.h"
#include "testlocation.h"
#include <QElapsedTimer>
#include <QtTest>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString conflictOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const RowConflict& e) {
        return e.message();
    }
    return QString();
}

int count(Database& db, const QString& sql)
{
    Query q(db, sql);
    q.open();
    return q.value(0).toInt();
}

}   // namespace

class TestTwoInstances : public QObject {
    Q_OBJECT
    std::unique_ptr<TestLocation> place;
    std::unique_ptr<Tdmglobal> dm;     // instance A
    std::unique_ptr<Database> other;   // instance B
    Database& a() { return dm->database(); }
    Database& b() { return *other; }

    int addPlayer(Database& db, const QString& first, const QString& last) { return addPlayerRow(db, first, last); }
    int addGroup(Database& db)
    {
        Table t(db, "group.DB");
        t.open();
        t.append();
        t.setValue("NAME", "Tuesday doubles");
        t.setValue("STARTDATE", QDate(2026, 1, 6));
        t.setValue("RTYPE", 1);
        t.setValue("DURATION", 10);
        t.setValue("STIME", QTime(9, 0));
        t.setValue("FEE", 12.5);
        t.setValue("TUESDAY", true);
        t.post();
        return t.asInt("GROUPID");
    }

private slots:
    void initTestCase_data() { TestLocation::addEngineRows(); }
    void init()
    {
        QFETCH_GLOBAL(Engine, engine);
        VANTREL_OPEN_TEST_DATABASE(place, engine);
        dm = std::make_unique<Tdmglobal>(place->location());
        other = std::make_unique<Database>(place->location());
    }
    void cleanup()
    {
        other.reset();
        dm.reset();
        place.reset();
    }

    void lostUpdateIsRefusedAndTheCurrentRowShown()
    {
        const int id = addPlayer(a(), "Ann", "Lee");
        Table inA(a(), "PLAYERS.db"), inB(b(), "PLAYERS.db");
        inA.open();
        inB.open();   // B read the row before A saved
        inA.edit();
        inA.setValue("FNAME", "Anne");
        inA.post();
        inB.edit();
        inB.setValue("LNAME", "Leigh");
        QSignalSpy reset(&inB, &Table::rowsReset);
        const QString message = conflictOf([&] { inB.post(); });
        QCOMPARE(message, QString("This player was changed in another Vantrel window since you opened it; your "
                                  "change was not saved. The current values are shown."));
        QCOMPARE(inB.state(), Table::State::Browse);
        QCOMPARE(inB.asString("FNAME"), QString("Anne"));   // what is stored now
        QCOMPARE(inB.asString("LNAME"), QString("Lee"));
        QVERIFY(!reset.isEmpty());
        Query stored(a(), "SELECT FNAME, LNAME FROM PLAYERS WHERE PLAYERID = :id");
        stored.setInteger("id", id);
        stored.open();
        QCOMPARE(stored.asString("FNAME"), QString("Anne"));
        QCOMPARE(stored.asString("LNAME"), QString("Lee"));
        // Typed again over the current row, B's change is kept.
        inB.edit();
        inB.setValue("LNAME", "Leigh");
        inB.post();
        stored.open();
        QCOMPARE(stored.asString("FNAME"), QString("Anne"));
        QCOMPARE(stored.asString("LNAME"), QString("Leigh"));
    }

    void ownEditsInARowAreNeverRefused()
    {
        // Empty columns, dates, times, money and flags must compare as stored,
        // or a second save of the same row would be refused wrongly.
        const int groupId = addGroup(a());
        Table groups(a(), "group.DB");
        groups.open();
        QVERIFY(groups.findKey({groupId}));
        for (int round = 0; round < 3; ++round) {
            groups.edit();
            groups.setValue("NAME", QString("Tuesday %1").arg(round));
            groups.setValue("ETIME", round == 1 ? QVariant() : QVariant(QTime(10, 30, 15, 250)));
            groups.setValue("FEE", 12.5 + round / 3.0);
            groups.setValue("NOTES", round == 2 ? QVariant() : QVariant("Bring water"));
            groups.post();
        }
        Table players(a(), "PLAYERS.db");
        players.open();
        players.append();
        players.setValue("FNAME", "Bo");
        players.setValue("RANKING", 0.1 + 0.2);
        players.post();
        players.edit();
        players.setValue("CITY", "Oslo");
        players.post();
        players.remove();
        QCOMPARE(count(a(), "SELECT COUNT(*) FROM PLAYERS"), 0);
    }

    void rowDeletedElsewhereIsNotWrittenBack()
    {
        const int id = addPlayer(a(), "Cy", "Ma");
        addPlayer(a(), "Di", "Ng");
        Table inA(a(), "PLAYERS.db");
        inA.open();
        QVERIFY(inA.findKey({id}));
        Table inB(b(), "PLAYERS.db");
        inB.open();
        QVERIFY(inB.findKey({id}));
        inB.remove();
        inA.edit();
        inA.setValue("CITY", "Leeds");
        QCOMPARE(conflictOf([&] { inA.post(); }),
                 QString("This player no longer exists. It was deleted in another Vantrel window; your change was "
                         "not saved."));
        QCOMPARE(inA.recordCount(), 1);
        QVERIFY(!inA.findKey({id}));
        QCOMPARE(count(a(), "SELECT COUNT(*) FROM PLAYERS"), 1);
    }

    void changedRowIsNotDeleted()
    {
        const int id = addPlayer(a(), "Ed", "Ox");
        Table inA(a(), "PLAYERS.db"), inB(b(), "PLAYERS.db");
        inA.open();
        inB.open();
        inB.edit();
        inB.setValue("FNAME", "Eddie");
        inB.post();
        QVERIFY(conflictOf([&] { a().runInTransaction([&] { inA.remove(); }); }).contains("so it was not deleted"));
        QVERIFY(inA.findKey({id}));
        QCOMPARE(inA.asString("FNAME"), QString("Eddie"));
        QCOMPARE(count(a(), "SELECT COUNT(*) FROM PLAYERS"), 1);
        QVERIFY(!a().inTransaction());
    }

    void writingIntoAGroupDeletedElsewhereIsRefused()
    {
        const int groupId = addGroup(a());
        const int playerId = addPlayer(a(), "Fy", "Ro");
        Table group(a(), "group.DB"), entries(a(), "GRPPLAYR.db"), courts(a(), "COURTSLT.db");
        group.open();
        QVERIFY(group.findKey({groupId}));
        entries.setMasterSource(&group, "GROUPID", "GROUPID");
        courts.setMasterSource(&group, "GROUPID", "GROUPID");
        entries.open();
        courts.open();
        b().exec(QString("DELETE FROM \"group\" WHERE GROUPID = %1").arg(groupId));

        const QString gone = "This group or league no longer exists.";
        entries.append();
        entries.setValue("PLAYERID", playerId);
        QVERIFY(conflictOf([&] { entries.post(); }).startsWith(gone));
        QCOMPARE(entries.state(), Table::State::Browse);
        courts.append();
        courts.setValue("COURTID", 1);
        QVERIFY(conflictOf([&] { courts.post(); }).startsWith(gone));
        group.edit();
        group.setValue("NAME", "Renamed");
        QVERIFY(conflictOf([&] { group.post(); }).startsWith(gone));
        QCOMPARE(count(a(), "SELECT COUNT(*) FROM GRPPLAYR") + count(a(), "SELECT COUNT(*) FROM COURTSLT") +
                     count(a(), "SELECT COUNT(*) FROM \"group\""),
                 0);
    }

    void busyRowWaitsBrieflyThenSaysSo()
    {
        const int id = addPlayer(a(), "Gus", "Oak");
        Table players(a(), "PLAYERS.db");
        players.open();
        // B holds the row (and a file's write lock), as an open dialog does.
        b().startTransaction();
        b().exec(QString("UPDATE PLAYERS SET CITY = 'Rome' WHERE PLAYERID = %1").arg(id));
        players.edit();
        players.setValue("FNAME", "Gustav");
        QElapsedTimer waited;
        waited.start();
        QString message;
        try {
            players.post();
        } catch (const DbError& e) {
            message = e.message();
        }
        QVERIFY(waited.elapsed() < 4000);
        QVERIFY2(message.startsWith(BusyMessage + '\n'), qPrintable(message));
        QVERIFY2(message.contains(b().isServer() ? "lock timeout" : "database is locked"), qPrintable(message));
        QVERIFY(!message.contains("Unable to fetch row"));
        QCOMPARE(players.state(), Table::State::Edit);   // the typed row is kept to save again
        b().rollback();
        players.post();

        // A whole-group write waits for another one the same way.
        b().startWriteTransaction();
        message.clear();
        try {
            Transaction writing(a(), Transaction::Lock::AtStart);
        } catch (const DbError& e) {
            message = e.message();
        }
        QVERIFY2(message.startsWith(BusyMessage + '\n'), qPrintable(message));
        QVERIFY(!a().inTransaction());
        b().rollback();
        Transaction writing(a(), Transaction::Lock::AtStart);
        writing.commit();
        QCOMPARE(count(b(), "SELECT COUNT(*) FROM PLAYERS WHERE FNAME = 'Gustav' AND CITY IS NULL"), 1);
    }

    void oneRunOfAGroupAtATime()
    {
        const int groupId = addGroup(a());
        const int otherGroup = addGroup(a());
        const QDate start(2026, 1, 6);
        {
            ScheduleRunGuard runInA(a(), groupId, start, 10);
            QVERIFY(runInA.refusal().isEmpty());
            QCOMPARE(ScheduleRunGuard(b(), groupId, start, 10).refusal(), ScheduleRunGuard::RunElsewhere);
            QVERIFY(ScheduleRunGuard(b(), otherGroup, start, 10).refusal().isEmpty());
        }
        QVERIFY(ScheduleRunGuard(b(), groupId, start, 10).refusal().isEmpty());   // A's run ended
        if (!a().isServer())
            QVERIFY(!QFileInfo::exists(a().path() + QString("-run-%1.lock").arg(groupId)));

        b().exec(QString("DELETE FROM \"group\" WHERE GROUPID = %1").arg(otherGroup));
        QCOMPARE(ScheduleRunGuard(a(), otherGroup, start, 10).refusal(), ScheduleRunGuard::GroupGone);
        QCOMPARE(ScheduleRunGuard(a(), groupId, QDate(9999, 12, 31), 1).refusal(), ScheduleRunGuard::DatesPastLimit);
        QCOMPARE(ScheduleRunGuard(a(), groupId, QDate(9999, 10, 1), 13).refusal(), ScheduleRunGuard::DatesPastLimit);
        QVERIFY(ScheduleRunGuard(a(), groupId, QDate(9999, 1, 4), 10).refusal().isEmpty());
    }

    void runOfAKilledClientIsUndoneAndItsLockFreed()
    {
        const int groupId = addGroup(a());
        const QDate start(2026, 1, 6);
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t child = fork();
        if (child == 0) {
            // The other client: a run in the middle of its write, then killed.
            Database mine(place->location());
            ScheduleRunGuard run(mine, groupId, start, 10);
            Transaction writing(mine, Transaction::Lock::AtStart);
            mine.exec("INSERT INTO PLAYERS (FNAME) VALUES ('Half written')");
            const char byte = run.refusal().isEmpty() ? 'y' : 'n';
            if (write(ready[1], &byte, 1) != 1)
                _exit(1);
            pause();
            _exit(0);
        }
        close(ready[1]);
        char byte = 0;
        pollfd wait{ready[0], POLLIN, 0};
        QVERIFY(poll(&wait, 1, 20000) == 1 && read(ready[0], &byte, 1) == 1);
        close(ready[0]);
        QCOMPARE(byte, 'y');
        QCOMPARE(ScheduleRunGuard(b(), groupId, start, 10).refusal(), ScheduleRunGuard::RunElsewhere);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        // The server notices the lost client at once; give it a moment.
        QTRY_VERIFY_WITH_TIMEOUT(ScheduleRunGuard(b(), groupId, start, 10).refusal().isEmpty(), 5000);
        QCOMPARE(count(b(), "SELECT COUNT(*) FROM PLAYERS"), 0);
        addPlayer(b(), "After", "Kill");   // nothing of the write is left holding a lock
    }
};

QTEST_GUILESS_MAIN(TestTwoInstances)
#include "tst_twoinstances.moc"
