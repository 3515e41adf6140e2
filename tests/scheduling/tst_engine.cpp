// The generation run of a group: the date walk, the questions, the session
// size check, cancel, refusals, recovery from failures and the rotation.
#include "engine_fixture.h"
#include "data/dberror.h"
#include "data/guard.h"
#include "scheduling/runstate.h"
#include <QCoreApplication>
#include <QtTest>

class TestEngine : public QObject {
    Q_OBJECT

    struct Run {
        EngineFixture& f;
        int group;
        ScriptedHost host;
        std::unique_ptr<GroupDatasets> ds;
        Run(EngineFixture& fx, int g) : f(fx), group(g), ds(fx.open(g)) {}
        void generate()
        {
            ScheduleEngine engine(*ds, host, f.rng);
            engine.GenerateSchedule();
        }
    };

private slots:
    void init() { runState() = RunState(); }

    void datesWalkTheWeekBackAndForth()
    {
        EngineFixture f;
        GroupSpec g;
        g.weeks = 2;
        g.weekdays = {2, 6};      // Monday, Friday; the start is a Wednesday
        Run run(f, f.addGroup(g));
        run.generate();
        QCOMPARE(f.dates(run.group), (QVector<QDate>{QDate(2000, 3, 6), QDate(2000, 3, 10), QDate(2000, 3, 13),
                                                      QDate(2000, 3, 17)}));
        QVERIFY(run.host.questions.isEmpty());
        QCOMPARE(run.host.messages.first(), QString("Scheduling Group ... Please Wait"));
        QVERIFY(run.host.messages.contains("Scheduling Group ... Please Wait.  50% complete."));
        QVERIFY(run.host.messages.contains("Scheduling Group ... Please Wait.  100% complete."));
        QVERIFY(run.host.messages.contains("Reconciling Schedule"));
        QCOMPARE(run.host.messages.last(), QString("Schedule completed."));
        QCOMPARE(f.printed, 1);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);
    }

    void groupDayOffIsSkippedAndNotCounted()
    {
        EngineFixture f;
        GroupSpec g;
        g.weeks = 3;
        g.weekdays = {2, 6};
        const int group = f.addGroup(g);
        f.groupOff(group, QDate(2000, 3, 13));
        Run run(f, group);
        run.generate();
        QCOMPARE(f.dates(group), (QVector<QDate>{QDate(2000, 3, 6), QDate(2000, 3, 10), QDate(2000, 3, 17),
                                                  QDate(2000, 3, 20), QDate(2000, 3, 24), QDate(2000, 3, 27)}));
        for (const QDate& d : f.dates(group))
            QCOMPARE(f.rowsOn(group, d), 4);
    }

    void unequalPlayAsksAndNoChangesNothing()
    {
        EngineFixture f;
        GroupSpec g;
        g.entries = 6;
        g.weekdays = {2, 6};
        const int group = f.addGroup(g);
        const int entry = f.entryIds(group).first();
        Run run(f, group);
        run.host.answers = {ScheduleHost::No};
        run.generate();
        QCOMPARE(run.host.questions, QStringList{ScheduleEngine::UnequalPlayQuestion});
        QCOMPARE(f.scalar("SELECT PRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {entry}).toDouble(), 77.0);
        QCOMPARE(f.played(entry), 9);
        QVERIFY(f.dates(group).isEmpty());
        QCOMPARE(f.printed, 0);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);

        GroupSpec whole;          // 8 entries, 4 a session, 10 weeks, 1 day: E = 5
        Run second(f, f.addGroup(whole));
        second.generate();
        QVERIFY(second.host.questions.isEmpty());
        QCOMPARE(f.dates(second.group).size(), 10);
    }

    void fractionalPlayShowsEveryEntryAndChangesNothing()
    {
        EngineFixture f;
        GroupSpec g;
        g.entries = 6;
        g.weekdays = {2, 6};
        Run run(f, f.addGroup(g));
        run.generate();                           // Yes to the question
        QCOMPARE(run.host.reconcileShown, 1);
        QCOMPARE(run.host.reconcileMode, 2);
        QCOMPARE(run.host.reconcileLines.size(), 6);
        QCOMPARE(ScheduleEngine::ExpectedText(run.host.reconcileExpected), QString("13.3333333333333"));
        int total = 0;
        for (int id : f.entryIds(run.group))
            total += f.played(id);
        QCOMPARE(total, 20 * 4);
    }

    void sessionSizeQuestions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("courts");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("perSession");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("rowsPerDate");   // 0: the run stopped
        QTest::newRow("equal") << 0 << 1 << 8 << 4 << true << QString() << 4 << 4;
        QTest::newRow("too few, yes") << 1 << 2 << 6 << 3 << true << ScheduleEngine::TooFewPerSessionQuestion << 4 << 3;
        QTest::newRow("too few, no") << 1 << 2 << 6 << 3 << false << ScheduleEngine::TooFewPerSessionQuestion << 3 << 0;
        QTest::newRow("too many, yes") << 1 << 1 << 3 << 4 << true << ScheduleEngine::TooManyPerSessionQuestion << 2 << 4;
        QTest::newRow("too many, no") << 1 << 1 << 3 << 4 << false << ScheduleEngine::TooManyPerSessionQuestion << 4 << 0;
        QTest::newRow("too few entries") << 0 << 2 << 6 << 6 << true << ScheduleEngine::TooFewEntriesMessage << 6 << 0;
    }

    void sessionSizeQuestions()
    {
        QFETCH(int, type);
        QFETCH(int, courts);
        QFETCH(int, entries);
        QFETCH(int, perSession);
        QFETCH(bool, yes);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        QFETCH(int, rowsPerDate);
        EngineFixture f;
        GroupSpec g;
        g.type = type;
        g.courts = courts;
        g.entries = entries;
        g.perSession = perSession;
        g.weeks = entries == 3 ? 3 : 4;     // whole expected counts: no equal-play question
        const int group = f.addGroup(g);
        const int first = f.entryIds(group).first();
        // An old schedule row: it goes only when the run gets to its dates.
        f.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE) VALUES (?, '1999-01-01')", {first});
        Run run(f, group);
        run.host.answers = {yes ? ScheduleHost::Yes : ScheduleHost::No};
        run.generate();
        const QStringList said = run.host.questions + run.host.warnings;
        QCOMPARE(said, shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(f.scalar("SELECT NumPerSes FROM \"group\" WHERE GROUPID = ?", {group}).toInt(), stored);
        // The counters are reset whether or not the run went on.
        if (rowsPerDate == 0)
            QCOMPARE(f.scalar("SELECT BBPRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {first}).toDouble(), 5000.0);
        if (rowsPerDate == 0) {
            QCOMPARE(f.played(first), 0);
            QCOMPARE(f.scalar("SELECT PRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {first}).toDouble(), 5000.0);
            QCOMPARE(f.rowsOf(first), 1);
            QCOMPARE(f.printed, 0);
            return;
        }
        const QVector<QDate> dates = f.dates(group);
        QCOMPARE(dates.size(), g.weeks);
        for (const QDate& d : dates)
            QCOMPARE(f.rowsOn(group, d), rowsPerDate);
        if (courts == 2 && rowsPerDate == 3) {    // two on the first court, one on the second
            const int court1 = f.scalar("SELECT MIN(COURTID) FROM COURTSLT WHERE GROUPID = ?", {group}).toInt();
            QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE DATE = ? AND GRPCOURTID = ?",
                              {dates[0].toString(Qt::ISODate), court1}).toInt(), 2);
        }
        if (entries == 3)                          // four picks of three entries: one placed twice
            QCOMPARE(f.doubledOn(group), 3);
    }

    void refusesWhatCannotBeScheduled_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("perSession");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<bool>("days");
        QTest::addColumn<int>("courts");
        QTest::addColumn<QString>("message");
        QTest::newRow("no entries") << 0 << 4 << 10 << true << 1 << ScheduleEngine::NoEntriesRefusal;
        QTest::newRow("no players per session") << 8 << 0 << 10 << true << 1 << ScheduleEngine::NoPlayersPerSessionRefusal;
        QTest::newRow("no weekday") << 8 << 4 << 10 << false << 1 << ScheduleEngine::NoPlayDaysRefusal;
        QTest::newRow("no weeks") << 8 << 4 << 0 << true << 1 << ScheduleEngine::NoPlayDaysRefusal;
        // Rows without a court would have no column on the grid or the page.
        QTest::newRow("no courts") << 8 << 4 << 10 << true << 0 << ScheduleEngine::NoCourtsRefusal;
    }

    void refusesWhatCannotBeScheduled()
    {
        QFETCH(int, entries);
        QFETCH(int, perSession);
        QFETCH(int, weeks);
        QFETCH(bool, days);
        QFETCH(int, courts);
        QFETCH(QString, message);
        EngineFixture f;
        GroupSpec g;
        g.courts = courts;
        g.entries = entries;
        g.perSession = perSession;
        g.weeks = weeks;
        if (!days)
            g.weekdays.clear();
        const int group = f.addGroup(g);
        Run run(f, group);
        run.generate();
        QCOMPARE(run.host.warnings, QStringList{message});
        QVERIFY(run.host.questions.isEmpty());
        for (int id : f.entryIds(group)) {
            QCOMPARE(f.played(id), 9);
            QCOMPARE(f.scalar("SELECT PRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {id}).toDouble(), 77.0);
        }
        QCOMPARE(f.printed, 0);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);
    }

    void cancelFinishesTheWeekAndSkipsReconciliation()
    {
        EngineFixture f;
        GroupSpec g;
        g.weekdays = {2, 4};
        Run run(f, f.addGroup(g));
        run.host.onYield = [] { runState().stopRequest = true; };
        run.generate();
        QCOMPARE(f.dates(run.group).size(), 2);       // the first week, both days
        QVERIFY(!run.host.messages.contains("Reconciling Schedule"));
        QCOMPARE(run.host.reconcileShown, 0);
        QCOMPARE(run.host.messages.last(), QString("Schedule completed."));
        QCOMPARE(f.printed, 1);
    }

    void secondGenerateDuringARunBeeps()
    {
        EngineFixture f;
        Run run(f, f.addGroup(GroupSpec()));
        int nested = 0;
        run.host.onYield = [&] {
            if (nested++ == 0) {
                ScriptedHost other;
                ScheduleEngine again(*run.ds, other, f.rng);
                again.GenerateSchedule();
                QVERIFY(other.messages.isEmpty());
            }
        };
        run.generate();
        QCOMPARE(f.beeps, 1);
        QCOMPARE(f.dates(run.group).size(), 10);
        QCOMPARE(f.printed, 1);
    }

    void closeDuringARunWaitsForItsEnd()
    {
        EngineFixture f;
        Run run(f, f.addGroup(GroupSpec()));
        int closed = 0;
        bool closeNow = true;
        run.host.onYield = [&] {
            if (closeNow)
                closeNow = requestCloseDuringRun([&] { ++closed; });
        };
        run.generate();
        QCOMPARE(closed, 0);                 // not from inside the run
        QCOMPARE(f.dates(run.group).size(), 1);
        QCOMPARE(f.printed, 0);
        QCoreApplication::processEvents();
        QCOMPARE(closed, 1);
        QVERIFY(requestCloseDuringRun([] {}));   // no run: close at once
    }

    void databaseErrorLeavesNothingStuck()
    {
        EngineFixture f;
        const int group = f.addGroup(GroupSpec());
        Run run(f, group);
        QStringList errors;
        setErrorBoxHandler([&](const QString& m) { errors << m; });
        run.host.onYield = [&] { f.exec("ALTER TABLE PLAYROFF RENAME TO PLAYROFF_GONE"); run.host.onYield = nullptr; };
        QVERIFY(!guarded(nullptr, [&] { run.generate(); }));
        QCOMPARE(errors.size(), 1);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);
        f.exec("ALTER TABLE PLAYROFF_GONE RENAME TO PLAYROFF");
        Run again(f, group);
        QVERIFY(guarded(nullptr, [&] { again.generate(); }));
        QCOMPARE(f.dates(group).size(), 10);
        setErrorBoxHandler(nullptr);
    }

    void lastDrawTakesAFreeEntry()
    {
        EngineFixture f;
        GroupSpec g;
        g.entries = 3;
        const int group = f.addGroup(g);
        const QVector<int> ids = f.entryIds(group);
        const QDate day(2000, 3, 6);
        const int firstPlayer = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {ids[0]}).toInt();
        f.playerOff(firstPlayer, day);
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(*ds, host, f.rng);
        engine.ResetPriorities();
        runState().priorityThreshold = 1e30;     // no draw passes, even after 50 halvings
        QCOMPARE(engine.PickPlayer(day), ids[1]);
        QCOMPARE(host.yields, 100);
        QCOMPARE(f.played(ids[1]), 1);
        // With no entry free the last draw plays regardless.
        for (int id : {ids[1], ids[2]})
            f.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE) VALUES (?, ?)", {id, day.toString(Qt::ISODate)});
        runState().priorityThreshold = 1e30;
        const int taken = engine.PickPlayer(day);
        QVERIFY(ids.contains(taken));
    }

    void daysOffAreRespected()
    {
        EngineFixture f;
        GroupSpec g;              // 8 entries, 4 a session, Mondays
        const int group = f.addGroup(g);
        const int entry = f.entryIds(group).first();
        const int player = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {entry}).toInt();
        for (int w = 0; w < 10; ++w)
            f.playerOff(player, QDate(2000, 3, 6).addDays(7 * w));
        Run run(f, group);
        run.host.reconcileAnswer = false;
        run.generate();
        QCOMPARE(f.rowsOf(entry), 0);
        QCOMPARE(f.dates(group).size(), 10);
    }

    void seededGroupsKeepTheirInvariants()
    {
        for (unsigned seed = 1; seed <= 25; ++seed) {
            std::mt19937 pick(seed);
            auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(pick); };
            EngineFixture f;
            f.rng.seed(seed);
            GroupSpec g;
            g.type = between(0, 1);
            g.courts = between(1, 3);
            g.perSession = g.courts * (g.type == 1 ? 2 : 4);
            g.entries = g.perSession + between(0, 10);
            g.weeks = between(1, 8);
            g.weekdays.clear();
            for (int k = 1; k <= 7; ++k)
                if (between(0, 2) == 0)
                    g.weekdays << k;
            if (g.weekdays.isEmpty())
                g.weekdays << 3;
            const int group = f.addGroup(g);
            Run run(f, group);
            run.generate();
            const double total = g.weeks * g.weekdays.size();
            const double expected = total / (double(g.entries) / g.perSession);
            QCOMPARE(f.dates(group).size(), int(total));
            QCOMPARE(f.doubledOn(group), 0);
            for (int id : f.entryIds(group)) {
                QCOMPARE(f.played(id), f.rowsOf(id));
                if (expected == std::floor(expected))
                    QCOMPARE(f.played(id), int(expected));
            }
            if (expected == std::floor(expected))
                for (const QDate& d : f.dates(group))
                    QCOMPARE(f.rowsOn(group, d), g.perSession);
            QCOMPARE(f.printed, 1);
        }
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
