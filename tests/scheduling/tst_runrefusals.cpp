// A generation run that must not start: another Vantrel on the same file
// runs the same group, the group was deleted there, or its dates would pass
// the last year the file can hold. Nothing is written in any of these.
#include "engine_fixture.h"
#include "data/runguard.h"
#include "engine/runstate.h"
#include "testlocation.h"
#include <QtTest>

class TestRunRefusals : public QObject {
    Q_OBJECT

    bool printRequested = false;

    // Generates with a fresh host; returns what the run told the user.
    QStringList generate(EngineFixture& f, GroupDatasets& ds)
    {
        ScriptedHost host;
        ScheduleEngine engine(ds.tbgroup.database(), ds.groupId(), host, f.rng);
        engine.GenerateSchedule();
        printRequested = engine.printRequested();
        return host.warnings;
    }
    int scheduleRows(EngineFixture& f) { return f.scalar("SELECT COUNT(*) FROM SCHEDULE").toInt(); }
    int resetCounters(EngineFixture& f)
    {
        return f.scalar("SELECT COUNT(*) FROM GRPPLAYR WHERE SESPLAYED <> 9").toInt();
    }

private slots:
    void init() { runState() = RunState(); }

    void runOfTheSameGroupElsewhereRefusesThisOne_data() { TestLocation::addEngineRows(); }
    void runOfTheSameGroupElsewhereRefusesThisOne()
    {
        QFETCH(Engine, engine);
        std::unique_ptr<TestLocation> place;
        VANTREL_OPEN_TEST_DATABASE(place, engine);
        EngineFixture f(place->location());
        const int group = f.addGroup(GroupShape{});
        Database secondInstance(place->location());
        auto ds = f.open(group);
        {
            ScheduleRunGuard runningThere(secondInstance, group, QDate(2000, 3, 8), 10);
            QVERIFY(runningThere.refusal().isEmpty());
            QCOMPARE(generate(f, *ds), QStringList{ScheduleRunGuard::RunElsewhere});
            QCOMPARE(scheduleRows(f), 0);
            QCOMPARE(resetCounters(f), 0);
            QVERIFY(!printRequested);
        }
        QVERIFY(generate(f, *ds).isEmpty());   // that run has ended
        QVERIFY(scheduleRows(f) > 0);
    }

    void groupDeletedElsewhereIsNotScheduled_data() { TestLocation::addEngineRows(); }
    void groupDeletedElsewhereIsNotScheduled()
    {
        QFETCH(Engine, engine);
        std::unique_ptr<TestLocation> place;
        VANTREL_OPEN_TEST_DATABASE(place, engine);
        EngineFixture f(place->location());
        const int group = f.addGroup(GroupShape{});
        auto ds = f.open(group);
        Database secondInstance(place->location());
        secondInstance.exec(QString("DELETE FROM \"group\" WHERE GROUPID = %1").arg(group));
        QCOMPARE(generate(f, *ds), QStringList{ScheduleRunGuard::GroupGone});
        QCOMPARE(scheduleRows(f), 0);
    }

    void datesPastTheLastYearAreRefused()
    {
        EngineFixture f;
        GroupShape late;
        late.start = QDate(9999, 12, 31);
        late.weeks = 6;
        auto ds = f.open(f.addGroup(late));
        QCOMPARE(generate(f, *ds), QStringList{ScheduleRunGuard::DatesPastLimit});
        QCOMPARE(scheduleRows(f), 0);
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE \"DATE\" IS NULL OR \"DATE\" = ''").toInt(), 0);
    }
};

QTEST_MAIN(TestRunRefusals)
#include "tst_runrefusals.moc"
