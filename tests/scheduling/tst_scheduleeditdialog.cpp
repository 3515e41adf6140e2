// The schedule view over rows put straight into the database.
#include "group_fixture.h"
#include "scheduling/scheduleeditdialog.h"
#include <QTableView>
#include <QTest>

class TestScheduleView : public QObject {
    Q_OBJECT

    std::unique_ptr<GroupFixture> fx;

    static QStringList row(QTableView* grid, int r)
    {
        QStringList cells;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            cells << grid->model()->index(r, c).data().toString();
        return cells;
    }
    static bool anyEditable(QTableView* grid)
    {
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                if (grid->model()->flags(grid->model()->index(r, c)) & Qt::ItemIsEditable)
                    return true;
        return false;
    }

private slots:
    void init() { fx = std::make_unique<GroupFixture>(); }
    void cleanup() { fx.reset(); }

    void groupRowsInDateCourtEntryOrder()
    {
        const int g = fx->addGroup("Mon", 1);
        const int other = fx->addGroup("Other", 1);
        const int e1 = fx->addEntry(g, fx->addPlayer("Ann", "Lee"), 1);
        const int e2 = fx->addEntry(g, fx->addPlayer("Bob", "Ray"), 2);
        const int foreign = fx->addEntry(other, fx->addPlayer("Cy", "Dee"), 1);
        fx->addSchedule(e2, "2026-01-12", 1);
        fx->addSchedule(e1, "2026-01-12", 2);
        fx->addSchedule(e2, "2026-01-05", 2);
        fx->addSchedule(e1, "2026-01-05", 2);
        fx->addSchedule(foreign, "2026-01-05", 1);

        Tdlgschedule d;
        d.setGroup(g, MatchType::Singles);
        d.load();
        QCOMPARE(d.windowTitle(), QString("dlgschedule"));
        QCOMPARE(d.size(), QSize(544, 375));
        QTableView* s = d.scheduleGrid();
        QCOMPARE(s->model()->rowCount(), 4);
        QCOMPARE(row(s, 0), QStringList({"1/5/2026", "2", "Ann Lee", "1", QString::number(e1), "False"}));
        QCOMPARE(row(s, 1), QStringList({"1/5/2026", "2", "Bob Ray", "2", QString::number(e2), "False"}));
        QCOMPARE(row(s, 2)[2], QString("Bob Ray"));
        QCOMPARE(row(s, 3)[1], QString("2"));
        QCOMPARE(row(d.entriesGrid(), 1), QStringList({QString::number(e2), "Bob Ray", "2"}));
        QVERIFY(!anyEditable(s));
        QVERIFY(!anyEditable(d.entriesGrid()));
    }

    void emptyScheduleShowsEntries()
    {
        const int g = fx->addGroup("Quiet", 1);
        fx->addEntry(g, fx->addPlayer("Ann", "Lee"), 1);
        Tdlgschedule d;
        d.setGroup(g, MatchType::None);
        d.load();
        QCOMPARE(d.scheduleGrid()->model()->rowCount(), 0);
        QCOMPARE(d.entriesGrid()->model()->rowCount(), 1);
    }

    void doublesLeagueNamesCarryPartner()
    {
        const int g = fx->addGroup("League", 2, 2);
        const int ann = fx->addPlayer("Ann", "Lee");
        const int bob = fx->addPlayer("Bob", "Ray");
        const int team = fx->addEntry(g, ann, 1, bob);
        fx->addSchedule(team, "2026-01-05", 1, 1);
        Tdlgschedule d;
        d.setGroup(g, MatchType::Doubles);
        d.load();
        QCOMPARE(row(d.scheduleGrid(), 0)[2], QString("Ann Lee/Bob Ray"));
        QCOMPARE(row(d.entriesGrid(), 0)[1], QString("Ann Lee/Bob Ray"));
    }
};

QTEST_MAIN(TestScheduleView)
#include "tst_scheduleeditdialog.moc"
