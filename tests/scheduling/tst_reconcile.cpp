// Ball and home marking, reconciliation of play counts and its dialog.
#include "engine_fixture.h"
#include "scheduling/reconciledialog.h"
#include "engine/runstate.h"
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QHeaderView>
#include <QtTest>

class TestReconcile : public QObject {
    Q_OBJECT

    // Rows of `entry` on the dates d(first) .. d(last), day i = 1 Jan 2001 + i.
    static QDate day(int i) { return QDate(2001, 1, 1).addDays(i); }
    void play(EngineFixture& f, int entry, int first, int last, int court = 0)
    {
        for (int i = first; i <= last; ++i)
            f.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, SLOTCODE) VALUES (?, ?, ?, ?)",
                   {entry, day(i).toString(Qt::ISODate), court, 99});
        f.exec("UPDATE GRPPLAYR SET SESPLAYED = SESPLAYED + ? WHERE GROUPPLAYERID = ?", {last - first + 1, entry});
    }
    int setUp(EngineFixture& f, int entries)
    {
        GroupShape g;
        g.entries = entries;
        const int group = f.addGroup(g);
        f.exec("UPDATE GRPPLAYR SET SESPLAYED = 0 WHERE GROUPID = ?", {group});
        return group;
    }

private slots:
    void init() { runState() = RunState(); }

    void ballDutyGoesToTheHighestWeightPerCourt()
    {
        EngineFixture f;
        GroupShape g;
        g.entries = 8;
        g.courts = 2;
        g.perSession = 8;
        const int group = f.addGroup(g);
        const QVector<int> ids = f.entryIds(group);
        const int court1 = f.scalar("SELECT MIN(COURTID) FROM COURTSLT WHERE GROUPID = ?", {group}).toInt();
        const int court2 = court1 + 1;
        const double weights[8] = {2500, 5000, 2500, 1250, 5000, 5000, 10, 10};
        for (int i = 0; i < 8; ++i) {
            f.exec("UPDATE GRPPLAYR SET BBPRIORITY = ? WHERE GROUPPLAYERID = ?", {weights[i], ids[i]});
            play(f, ids[i], 0, 0, i < 4 ? court1 : court2);
        }
        play(f, ids[1], 0, 0, court1);   // placed twice on its court
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.adoptSchedule();
        engine.AssignHomeAndBalls(day(0));
        engine.writePlan();
        auto homes = [&](int id) {
            return f.scalar("SELECT SUM(HOME) FROM SCHEDULE WHERE GRPPLAYRID = ?", {id}).toInt();
        };
        QCOMPARE(homes(ids[1]), 2);   // every row of the marked entry on the date
        QCOMPARE(f.scalar("SELECT BBPRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {ids[1]}).toDouble(), 2500.0);
        // A tie on the second court goes to the entry added first.
        QCOMPARE(homes(ids[4]), 1);
        QCOMPARE(homes(ids[5]), 0);
        QCOMPARE(f.scalar("SELECT SUM(HOME) FROM SCHEDULE").toInt(), 3);
    }

    void equalCountsShowNothing()
    {
        EngineFixture f;
        const int group = setUp(f, 2);
        const QVector<int> ids = f.entryIds(group);
        play(f, ids[0], 0, 4);
        play(f, ids[1], 5, 9);
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.adoptSchedule();
        engine.ReconcileSchedule(true, 5);
        engine.writePlan();
        QCOMPARE(host.reconcileShown, 0);
    }

    void overAndUnderPlayedMeetAtTheExpectedCount()
    {
        EngineFixture f;
        const int group = setUp(f, 3);
        const QVector<int> ids = f.entryIds(group);
        play(f, ids[0], 0, 5);   // 6
        play(f, ids[1], 6, 9);   // 4
        play(f, ids[2], 0, 4);   // 5
        f.exec("UPDATE SCHEDULE SET HOME = 1 WHERE GRPPLAYRID = ? AND DATE = ?",
               {ids[0], day(5).toString(Qt::ISODate)});
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.adoptSchedule();
        engine.ReconcileSchedule(true, 5);
        engine.writePlan();
        QCOMPARE(host.reconcileShown, 1);
        QCOMPARE(host.reconcileMode, 1);
        QCOMPARE(host.reconcileLines.size(), 2);
        QCOMPARE(host.reconcileLines[0].groupPlayerId, ids[0]);
        QCOMPARE(host.reconcileLines[0].sessionsPlayed, 6);
        QCOMPARE(host.reconcileLines[1].playerName, QString("P2 L2"));
        QCOMPARE(f.played(ids[0]), 5);
        QCOMPARE(f.played(ids[1]), 5);
        // The latest date changed hands, kept its HOME mark, took the receiver's number.
        QCOMPARE(f.scalar("SELECT GRPPLAYRID FROM SCHEDULE WHERE DATE = ? AND HOME = 1", {day(5).toString(Qt::ISODate)})
                     .toInt(),
                 ids[1]);
        QCOMPARE(f.scalar("SELECT SLOTCODE FROM SCHEDULE WHERE DATE = ? AND GRPPLAYRID = ?",
                          {day(5).toString(Qt::ISODate), ids[1]})
                     .toInt(),
                 2);
    }

    void aDayOffMovesAnEarlierDate()
    {
        EngineFixture f;
        const int group = setUp(f, 2);
        const QVector<int> ids = f.entryIds(group);
        play(f, ids[0], 0, 5);
        play(f, ids[1], 6, 9);
        const int player = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {ids[1]}).toInt();
        f.playerOff(player, day(5));
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.adoptSchedule();
        engine.ReconcileSchedule(true, 5);
        engine.writePlan();
        QCOMPARE(f.scalar("SELECT GRPPLAYRID FROM SCHEDULE WHERE DATE = ?", {day(4).toString(Qt::ISODate)}).toInt(),
                 ids[1]);
        QCOMPARE(f.rowsOf(ids[0]), 5);
    }

    void roundsThatMoveNothingEnd()
    {
        EngineFixture f;
        const int group = setUp(f, 2);
        const QVector<int> ids = f.entryIds(group);
        play(f, ids[0], 0, 3);   // 4, under
        play(f, ids[1], 0, 5);   // 6, over; its other dates are days off of the first
        const int player = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {ids[0]}).toInt();
        f.playerOff(player, day(4));
        f.playerOff(player, day(5));
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.adoptSchedule();
        engine.ReconcileSchedule(true, 5);
        engine.writePlan();
        // Neither can move: the message names both and why, and the row of
        // the over-played entry stays on its court.
        QCOMPARE(host.messages.size(), 1);
        QVERIFY(host.messages[0].startsWith(ScheduleEngine::ReconcileIncomplete));
        QVERIFY(host.messages[0].contains("P1 L1 plays 4 dates, not 5"));
        QVERIFY(host.messages[0].contains("P2 L2 plays 6 dates, not 5"));
        QVERIFY(host.yields >= 1);
        QCOMPARE(f.played(ids[1]), 6);
        QCOMPARE(f.rowsOf(ids[1]), 6);
        QVERIFY(!host.busy);
    }

    void cancelInTheDialogChangesNothing()
    {
        EngineFixture f;
        const int group = setUp(f, 2);
        const QVector<int> ids = f.entryIds(group);
        play(f, ids[0], 0, 5);
        play(f, ids[1], 6, 9);
        auto ds = f.open(group);
        ScriptedHost host;
        host.reconcileAnswer = false;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.adoptSchedule();
        engine.ReconcileSchedule(true, 5);
        engine.writePlan();
        QCOMPARE(f.played(ids[0]), 6);
        QCOMPARE(f.rowsOf(ids[0]), 6);
    }

    void dialogLayoutAndTexts()
    {
        EngineFixture f;
        Tdlgreconcile dlg;
        dlg.setLines({{6, 11, "Ann Lee"}, {4, 12, "Bo Ray"}});
        dlg.reconcileMode = 1;
        dlg.setExpected(5);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QString("Reconcile Schedule Players should play: 5"));
        QVERIFY(dlg.width() >= 407 && dlg.height() >= 217);   // grows to show its texts
        QCOMPARE(dlg.okButton->text(), QString("Reconcile"));
        QCOMPARE(dlg.warningLabel->text(), Tdlgreconcile::ReconcileText);
        QCOMPARE(dlg.countsTable->horizontalHeaderItem(0)->text(), QString("# On"));
        QCOMPARE(dlg.countsTable->horizontalHeaderItem(2)->text(), QString("Player Name"));
        QCOMPARE(dlg.countsTable->columnWidth(0), 46);
        QCOMPARE(dlg.countsTable->columnWidth(1), 41);
        QCOMPARE(dlg.countsTable->columnWidth(2), 177);
        QCOMPARE(dlg.countsTable->item(1, 2)->text(), QString("Bo Ray"));
        QSignalSpy help(f.dm.get(), &Tdmglobal::helpRequested);
        dlg.helpButton->click();
        QCOMPARE(help.count(), 1);
        QCOMPARE(help.first().first().toInt(), 13);

        Tdlgreconcile other;
        other.setExpected(20 / 1.5);
        other.show();
        QCOMPARE(other.windowTitle(), QString("Reconcile Schedule Players should play: 13.3333333333333"));
        QCOMPARE(other.okButton->text(), QString("OK"));
        QCOMPARE(other.warningLabel->text(), Tdlgreconcile::CannotReconcileText);
    }
};

QTEST_MAIN(TestReconcile)
#include "tst_reconcile.moc"
