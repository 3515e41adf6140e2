// The generation run of a group: the date walk, the questions, the session
// size check, cancel, refusals, recovery from failures and the rotation.
#include "engine_fixture.h"
#include "data/dberror.h"
#include "engine/runstate.h"
#include "windows/guard.h"
#include <QCoreApplication>
#include <QtTest>

class TestEngine : public QObject {
    Q_OBJECT

    struct Run {
        EngineFixture& f;
        int group;
        ScriptedHost host;
        std::unique_ptr<GroupDatasets> ds;
        bool printRequested = false;
        Run(EngineFixture& fx, int g) : f(fx), group(g), ds(fx.open(g)) {}
        void generate()
        {
            ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
            engine.GenerateSchedule();
            printRequested = engine.printRequested();
        }
    };

private slots:
    void init() { runState() = RunState(); }

    void datesWalkTheWeekBackAndForth()
    {
        EngineFixture f;
        GroupShape g;
        g.weeks = 2;
        g.weekdays = {2, 6};   // Monday, Friday; the start is a Wednesday
        Run run(f, f.addGroup(g));
        run.generate();
        QCOMPARE(f.dates(run.group),
                 (QVector<QDate>{QDate(2000, 3, 6), QDate(2000, 3, 10), QDate(2000, 3, 13), QDate(2000, 3, 17)}));
        QVERIFY(run.host.questions.isEmpty());
        QCOMPARE(run.host.messages.first(), QString("Scheduling Group ... Please Wait"));
        QVERIFY(run.host.messages.contains("Scheduling Group ... Please Wait.  50% complete."));
        QVERIFY(run.host.messages.contains("Scheduling Group ... Please Wait.  100% complete."));
        QVERIFY(run.host.messages.contains("Reconciling Schedule"));
        QCOMPARE(run.host.messages.last(), QString("Schedule completed."));
        QVERIFY(run.printRequested);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);
    }

    void groupDayOffIsSkippedAndNotCounted()
    {
        EngineFixture f;
        GroupShape g;
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
        GroupShape g;
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
        QVERIFY(!run.printRequested);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);

        GroupShape whole;   // 8 entries, 4 a session, 10 weeks, 1 day: E = 5
        Run second(f, f.addGroup(whole));
        second.generate();
        QVERIFY(second.host.questions.isEmpty());
        QCOMPARE(f.dates(second.group).size(), 10);
    }

    void fractionalPlayShowsEveryEntryAndChangesNothing()
    {
        EngineFixture f;
        GroupShape g;
        g.entries = 6;
        g.weekdays = {2, 6};
        Run run(f, f.addGroup(g));
        run.generate();   // Yes to the question
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
        // The figure accepted is the one the run places.
        QTest::newRow("too few, yes") << 1 << 2 << 6 << 3 << true << ScheduleEngine::TooFewPerSessionQuestion << 4 << 4;
        QTest::newRow("too few, no") << 1 << 2 << 6 << 3 << false << ScheduleEngine::TooFewPerSessionQuestion << 3 << 0;
        QTest::newRow("too many, yes") << 1 << 1 << 6 << 4 << true << ScheduleEngine::TooManyPerSessionQuestion << 2
                                       << 2;
        QTest::newRow("too many, no") << 1 << 1 << 6 << 4 << false << ScheduleEngine::TooManyPerSessionQuestion << 4
                                      << 0;
        QTest::newRow("more than the entries")
            << 1 << 1 << 3 << 4 << true << ScheduleEngine::MoreThanEntriesRefusal.arg(4).arg(3) << 4 << 0;
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
        GroupShape g;
        g.type = type;
        g.courts = courts;
        g.entries = entries;
        g.perSession = perSession;
        g.weeks = entries == 6 ? 3 : 4;   // whole expected counts: no equal-play question
        const int group = f.addGroup(g);
        const int first = f.entryIds(group).first();
        // An old schedule row (still to come): it goes only when the run gets to its dates.
        f.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE) VALUES (?, '2099-01-01')", {first});
        Run run(f, group);
        run.host.answers = {yes ? ScheduleHost::Yes : ScheduleHost::No};
        run.generate();
        const QStringList said = run.host.questions + run.host.warnings;
        QCOMPARE(said, shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(f.scalar("SELECT NumPerSes FROM \"group\" WHERE GROUPID = ?", {group}).toInt(), stored);
        // A run ended at a question changes nothing: the old schedule stays
        // with the counters that go with it.
        if (rowsPerDate == 0) {
            QCOMPARE(f.scalar("SELECT BBPRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {first}).toDouble(), 77.0);
            QCOMPARE(f.played(first), 9);
            QCOMPARE(f.scalar("SELECT PRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {first}).toDouble(), 77.0);
            QCOMPARE(f.rowsOf(first), 1);
            QVERIFY(!run.printRequested);
            return;
        }
        const QVector<QDate> dates = f.dates(group);
        QCOMPARE(dates.size(), g.weeks);
        for (const QDate& d : dates)
            QCOMPARE(f.rowsOn(group, d), rowsPerDate);
        if (courts == 2 && rowsPerDate == 3) {   // two on the first court, one on the second
            const int court1 = f.scalar("SELECT MIN(COURTID) FROM COURTSLT WHERE GROUPID = ?", {group}).toInt();
            QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE DATE = ? AND GRPCOURTID = ?",
                              {dates[0].toString(Qt::ISODate), court1})
                         .toInt(),
                     2);
        }
        if (entries == 3)   // four picks of three entries: one placed twice
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
        QTest::newRow("no players per session")
            << 8 << 0 << 10 << true << 1 << ScheduleEngine::NoPlayersPerSessionRefusal;
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
        GroupShape g;
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
        QVERIFY(!run.printRequested);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);
    }

    void cancelFinishesTheWeekAndSkipsReconciliation()
    {
        EngineFixture f;
        GroupShape g;
        g.weekdays = {2, 4};
        Run run(f, f.addGroup(g));
        run.host.onYield = [] { runState().stopRequest = true; };
        run.generate();
        QCOMPARE(f.dates(run.group).size(), 2);   // the first week, both days
        QVERIFY(!run.host.messages.contains("Reconciling Schedule"));
        QCOMPARE(run.host.reconcileShown, 0);
        QCOMPARE(run.host.messages.last(), QString("Schedule completed."));
        QVERIFY(run.printRequested);
    }

    void secondGenerateDuringARunBeeps()
    {
        EngineFixture f;
        Run run(f, f.addGroup(GroupShape()));
        int nested = 0;
        run.host.onYield = [&] {
            if (nested++ == 0) {
                ScriptedHost other;
                ScheduleEngine again(run.ds->tbgroup.database(), run.ds->groupId(), other, f.rng);
                again.GenerateSchedule();
                QVERIFY(other.messages.isEmpty());
            }
        };
        run.generate();
        QCOMPARE(f.beeps, 1);
        QCOMPARE(f.dates(run.group).size(), 10);
        QVERIFY(run.printRequested);
    }

    void closeDuringARunWaitsForItsEnd()
    {
        EngineFixture f;
        Run run(f, f.addGroup(GroupShape()));
        int closed = 0;
        bool closeNow = true;
        run.host.onYield = [&] {
            if (closeNow)
                closeNow = requestCloseDuringRun([&] { ++closed; });
        };
        run.generate();
        QCOMPARE(closed, 0);   // not from inside the run
        QCOMPARE(f.dates(run.group).size(), 1);
        QVERIFY(!run.printRequested);
        QCoreApplication::processEvents();
        QCOMPARE(closed, 1);
        QVERIFY(requestCloseDuringRun([] {}));   // no run: close at once
    }

    void databaseErrorLeavesNothingStuck()
    {
        EngineFixture f;
        const int group = f.addGroup(GroupShape());
        Run run(f, group);
        QStringList errors;
        setErrorBoxHandler([&](const QString& m) { errors << m; });
        run.host.onYield = [&] {
            if (!f.db().inTransaction())   // still planning: nothing written yet
                return;
            f.exec("ALTER TABLE SCHEDULE RENAME TO SCHEDULE_GONE");
            run.host.onYield = nullptr;
        };
        QVERIFY(!guarded(nullptr, [&] { run.generate(); }));
        QCOMPARE(errors.size(), 1);
        QVERIFY(!run.host.busy && !run.host.suspended && !runState().running);
        // The rename was made inside the run's transaction and went with it.
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM sqlite_master WHERE name = 'SCHEDULE'").toInt(), 1);
        Run again(f, group);
        QVERIFY(guarded(nullptr, [&] { again.generate(); }));
        QCOMPARE(f.dates(group).size(), 10);
        setErrorBoxHandler(nullptr);
    }

    // A write refused partway through the walk (a full disk, say) leaves
    // the schedule, counters, marks and pairings of the run before it.
    void refusedWriteLeavesThePreviousSchedule_data()
    {
        QTest::addColumn<int>("rtype");
        QTest::addColumn<QString>("trigger");
        const QString raise = " BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END";
        QTest::newRow("first row") << 1 << "BEFORE INSERT ON SCHEDULE" + raise;
        QTest::newRow("row 23") << 1 << "BEFORE INSERT ON SCHEDULE WHEN (SELECT COUNT(*) FROM SCHEDULE) >= 23" + raise;
        QTest::newRow("last date") << 1
                                   << "BEFORE INSERT ON SCHEDULE WHEN (SELECT COUNT(*) FROM SCHEDULE) >= 38" + raise;
        QTest::newRow("a counter") << 1 << "BEFORE UPDATE OF SESPLAYED ON GRPPLAYR WHEN NEW.SESPLAYED >= 3" + raise;
        QTest::newRow("a HOME mark")
            << 1
            << "BEFORE INSERT ON SCHEDULE WHEN NEW.HOME = 1 AND (SELECT COUNT(*) FROM SCHEDULE WHERE HOME = 1) >= 7" +
                   raise;
        QTest::newRow("league row 30") << 2
                                       << "BEFORE INSERT ON SCHEDULE WHEN (SELECT COUNT(*) FROM SCHEDULE) >= 30" +
                                              raise;
        QTest::newRow("league pairing")
            << 2 << "BEFORE INSERT ON MATCHES WHEN (SELECT COUNT(*) FROM MATCHES WHERE PLAYED = 1) >= 2" + raise;
    }

    void refusedWriteLeavesThePreviousSchedule()
    {
        QFETCH(int, rtype);
        QFETCH(QString, trigger);
        EngineFixture f;
        GroupShape g;
        g.type = rtype == 2 ? 1 : 0;
        g.courts = 2;
        g.perSession = rtype == 2 ? 4 : 8;
        g.weeks = rtype == 2 ? 2 : 5;
        const int group = f.addGroup(g, rtype);
        Run first(f, group);
        first.generate();
        const QStringList before = f.snapshot();
        QVERIFY(before.size() > 40);

        f.exec("CREATE TRIGGER refuse " + trigger);
        QStringList errors;
        setErrorBoxHandler([&](const QString& m) { errors << m; });
        Run second(f, group);
        QVERIFY(!guarded(nullptr, [&] { second.generate(); }));
        setErrorBoxHandler(nullptr);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains("disk is full"));
        QVERIFY(!f.db().inTransaction());
        QCOMPARE(f.snapshot(), before);
        // The editor's list shows the counters the file holds again.
        QCOMPARE(second.ds->tbplayers.valueAt(0, "SESPLAYED").toInt(), f.played(f.entryIds(group).first()));
        QVERIFY(!second.host.busy && !second.host.suspended && !runState().running);

        f.exec("DROP TRIGGER refuse");
        Run third(f, group);
        QVERIFY(guarded(nullptr, [&] { third.generate(); }));
        QVERIFY(f.snapshot() != before);
    }

    // Until the run writes, another program sees the previous schedule; it
    // may write meanwhile (planning holds no lock), and a change to the
    // group itself makes the run write nothing.
    void othersSeeThePreviousScheduleUntilTheEnd()
    {
        EngineFixture f;
        const int group = f.addGroup(GroupShape());
        Run first(f, group);
        first.generate();
        const int rows = f.scalar("SELECT COUNT(*) FROM SCHEDULE").toInt();
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(f.db().path());
            other.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
            QVERIFY(other.open());
            Run second(f, group);
            int seen = -1;
            bool otherWrote = true;
            second.host.onYield = [&] {
                if (seen >= 0)
                    return;
                QSqlQuery q(other);
                q.exec("SELECT COUNT(*) FROM SCHEDULE");
                seen = q.next() ? q.value(0).toInt() : -2;
                otherWrote = QSqlQuery(other).exec("UPDATE PLAYERS SET FNAME = 'X'");
            };
            second.generate();
            QCOMPARE(seen, rows);
            QVERIFY(otherWrote);
            QSqlQuery after(other);
            after.exec("SELECT COUNT(*) FROM SCHEDULE");
            QVERIFY(after.next());
            QCOMPARE(after.value(0).toInt(), rows);   // a new schedule of the same size, committed
            other.close();
        }
        QSqlDatabase::removeDatabase("other");
        QVERIFY(f.scalar("SELECT MIN(SCHEDULEID) FROM SCHEDULE").toInt() > rows);

        const QStringList before = f.snapshot();
        Run third(f, group);
        third.host.onYield = [&] {
            if (!f.db().inTransaction())
                f.playerOff(f.scalar("SELECT PLAYERID FROM GRPPLAYR").toInt(), QDate(2000, 3, 13));
            third.host.onYield = nullptr;
        };
        third.generate();
        QCOMPARE(third.host.warnings, QStringList{ScheduleEngine::GroupChangedMessage});
        QCOMPARE(f.snapshot(), before);
        QVERIFY(!third.printRequested);
    }

    // E is whole exactly when T x N is a multiple of P, whatever floating
    // point makes of T / (P / N).
    void wholeNumbersJudgedWhole_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("perSession");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("courts");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("expected");
        QTest::newRow("14 entries, 10 a session, 21 dates") << 14 << 10 << 1 << 5 << 7 << 15;
        QTest::newRow("44 entries, 40 a session, 132 dates") << 44 << 40 << 2 << 10 << 44 << 120;
    }

    void wholeNumbersJudgedWhole()
    {
        QFETCH(int, entries);
        QFETCH(int, perSession);
        QFETCH(int, type);
        QFETCH(int, courts);
        QFETCH(int, weeks);
        QFETCH(int, expected);
        const auto share = ScheduleEngine::SharePlay(weeks * 3, entries, perSession);
        QVERIFY(share.equal);
        QCOMPARE(ScheduleEngine::ExpectedText(share.expected), QString::number(expected));

        EngineFixture f;
        GroupShape g;
        g.entries = entries;
        g.perSession = perSession;
        g.type = type;
        g.courts = courts;
        g.weeks = weeks;
        g.weekdays = {2, 4, 6};
        Run run(f, f.addGroup(g));
        run.generate();
        QVERIFY(run.host.questions.isEmpty());
        if (run.host.reconcileShown)
            QCOMPARE(run.host.reconcileMode, 1);
        for (int id : f.entryIds(run.group)) {
            QCOMPARE(f.played(id), expected);
            QCOMPARE(f.rowsOf(id), expected);
        }
        QCOMPARE(run.host.messages.last(), QString("Schedule completed."));

        const auto fractional = ScheduleEngine::SharePlay(20, 6, 4);
        QVERIFY(!fractional.equal);
        QCOMPARE(ScheduleEngine::ExpectedText(fractional.expected), QString("13.3333333333333"));
    }

    // A whole run yields whenever the interval of work has passed, also
    // between the weeks, and not at every step.
    void aRunYieldsByTime()
    {
        EngineFixture f;
        GroupShape g;
        g.entries = 6;   // every date needs retries to fill
        g.weeks = 12;
        Run everyPoint(f, f.addGroup(g));
        everyPoint.generate();
        Run timed(f, f.addGroup(g));
        timed.host.intervalMs = 30;
        timed.host.tickMs = 1;
        timed.generate();
        QVERIFY(timed.host.yields > 0);
        QVERIFY(timed.host.yields < everyPoint.host.yields);
        QVERIFY2(timed.host.longestStretch <= 30 + 2, qPrintable(QString::number(timed.host.longestStretch)));
    }

    // Twenty entries on one court with 19 players per session: 18 sit out
    // each date, so the weights, not the bye rotation, must pick.
    void leagueByeFollowsTheCourts()
    {
        EngineFixture f;
        GroupShape g;
        g.entries = 20;
        g.perSession = 19;
        g.courts = 1;
        g.type = 1;
        g.weeks = 1;   // rounds
        const int league = f.addGroup(g, 2);
        Run run(f, league);
        run.generate();   // Yes: store 2 players per session
        QVERIFY(!runState().byeFlag);
        QCOMPARE(runState().byeCount, 18);
        const QVector<QDate> dates = f.dates(league);
        QCOMPARE(dates.size(), 190);
        int longest = 0;
        for (int id : f.entryIds(league)) {
            int streak = 0;
            for (const QDate& d : dates) {
                const bool plays = f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE = ?",
                                            {id, d.toString(Qt::ISODate)})
                                       .toInt() > 0;
                streak = plays ? 0 : streak + 1;
                longest = std::max(longest, streak);
            }
        }
        QVERIFY2(longest <= 20, qPrintable(QString::number(longest)));

        // One entry more than the places: the bye rotation.
        GroupShape five;
        five.entries = 5;
        five.courts = 2;
        five.type = 1;
        five.weeks = 1;
        Run byes(f, f.addGroup(five, 2));
        byes.generate();
        QVERIFY(runState().byeFlag);
        QCOMPARE(f.dates(byes.group).size(), 5);
    }

    void lastDrawTakesAFreeEntry()
    {
        EngineFixture f;
        GroupShape g;
        g.entries = 3;
        const int group = f.addGroup(g);
        const QVector<int> ids = f.entryIds(group);
        const QDate day(2000, 3, 6);
        const int firstPlayer = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {ids[0]}).toInt();
        f.playerOff(firstPlayer, day);
        auto ds = f.open(group);
        ScriptedHost host;
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, f.rng);
        engine.ResetPriorities();
        runState().priorityThreshold = 1e30;   // no draw passes, even after 50 halvings
        host.intervalMs = 30;
        host.tickMs = 4;   // each retry's work passes the clock on
        QCOMPARE(engine.PickPlayer(day), ids[1]);
        // Yields by time, not per retry: about one in eight retries, and never
        // more than the interval (and the work of one retry) without one.
        QVERIFY2(host.yields >= 8 && host.yields <= 20, qPrintable(QString::number(host.yields)));
        QVERIFY(host.longestStretch <= 30 + 2 * 4);
        QCOMPARE(engine.plan().counters[1].played, 1);
        // Once nobody is free the seat stays empty: nobody twice, nobody on a day off.
        runState().priorityThreshold = 1e30;
        QCOMPARE(engine.PickPlayer(day), ids[2]);
        QCOMPARE(engine.PickPlayer(day), 0);
        QCOMPARE(engine.plan().counters[0].played, 0);
    }

    void daysOffAreRespected()
    {
        EngineFixture f;
        GroupShape g;   // 8 entries, 4 a session, Mondays
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
            GroupShape g;
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
            QVERIFY(run.printRequested);
        }
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
