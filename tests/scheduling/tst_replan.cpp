// Re-planning a running season from a date: the dates before it stay as
// they are, the whole season comes out as even as a fresh generation, the
// injured and the newcomer are honoured, a league completes its rounds and
// keeps its results, and Cancel or a refusal leaves every row in place.
#include "season_fixture.h"
#include <QtTest>

namespace {

bool accept(const QVector<ReplanCount>&)
{
    return true;
}

}   // namespace

class TestReplan : public QObject {
    Q_OBJECT

    int group(SeasonFixture& f, const GroupShape& g, unsigned seed)
    {
        const int id = f.addGroup(g);
        f.generate(id, seed);
        return id;
    }

private slots:
    void init() { runState() = RunState(); }

    void keepsLockedDatesAndEvensTheSeason_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("perSession");
        QTest::addColumn<int>("courts");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("days");
        // Seeded groups of many shapes: even ones, and ones whose numbers
        // cannot come out equal.
        for (unsigned seed = 1; seed <= 12; ++seed) {
            const int perSession = seed % 3 == 0 ? 8 : 4;
            const int entries = perSession + 1 + int(seed * 5 % 9);
            QTest::addRow("seed %u", seed)
                << entries << perSession << perSession / 4 << 0 << int(6 + seed % 7) << int(1 + seed % 2);
        }
    }
    void keepsLockedDatesAndEvensTheSeason()
    {
        QFETCH(int, entries);
        QFETCH(int, perSession);
        QFETCH(int, courts);
        QFETCH(int, type);
        QFETCH(int, weeks);
        QFETCH(int, days);
        SeasonFixture f;
        GroupShape g;
        g.entries = entries;
        g.perSession = perSession;
        g.courts = courts;
        g.type = type;
        g.weeks = weeks;
        g.weekdays = days == 1 ? QVector<int>{3} : QVector<int>{2, 5};
        const unsigned seed = unsigned(entries * 31 + weeks);
        const int id = group(f, g, seed);
        const int freshSpread = f.spread(id);
        const QVector<QDate> dates = f.dates(id);
        const QDate from = dates[dates.size() / 2];
        const QString locked = f.rowsBefore(from);
        const int rowCount = f.scalar("SELECT COUNT(*) FROM SCHEDULE").toInt();

        SeasonOps ops(f.db(), id);
        std::mt19937 random(seed);
        QVector<ReplanCount> shown;
        QCOMPARE(ops.replan(from, random,
                            [&](const QVector<ReplanCount>& c) {
                                shown = c;
                                return true;
                            }),
                 QString());
        QCOMPARE(f.rowsBefore(from), locked);
        QCOMPARE(f.dates(id), dates);
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE").toInt(), rowCount);
        QCOMPARE(f.doubledOn(id), 0);
        QVERIFY(f.countsMatchRows(id));
        QVERIFY2(f.spread(id) <= std::max(1, freshSpread), qPrintable(QString::number(f.spread(id))));
        if ((dates.size() * perSession) % entries == 0)
            QCOMPARE(f.spread(id), 0);
        QCOMPARE(shown.size(), entries);
        for (const ReplanCount& c : shown)
            QCOMPARE(c.after, f.played(c.entry));
        for (const QDate& d : dates)
            QCOMPARE(f.rowsOn(id, d), perSession);
    }

    void injuryAndNewcomerFromADate()
    {
        SeasonFixture f;
        GroupShape g;
        g.entries = 8;
        g.perSession = 4;
        g.weeks = 12;
        g.weekdays = {3};
        const int id = group(f, g, 3);
        const QVector<QDate> dates = f.dates(id);
        const QDate from = dates[5];
        const int injured = f.entryIds(id)[2];
        for (int i = 5; i < 9; ++i)   // a month out
            f.playerOff(f.playerOf(injured), dates[i]);
        const int newcomer = f.addEntry(id, f.addPlayer("New", "Comer"), 9);
        f.exec("UPDATE GRPPLAYR SET SESPLAYED = 0 WHERE GROUPPLAYERID = ?", {newcomer});
        const QString locked = f.rowsBefore(from);

        SeasonOps ops(f.db(), id);
        std::mt19937 random(5);
        QCOMPARE(ops.replan(from, random, accept), QString());
        QCOMPARE(f.rowsBefore(from), locked);
        for (int i = 5; i < 9; ++i)
            QVERIFY(f.cell(injured, dates[i], "SCHEDULEID").isNull());
        QVERIFY(f.played(newcomer) > 0);
        QVERIFY(f.countsMatchRows(id));
        QCOMPARE(f.doubledOn(id), 0);
        // The newcomer missed the first dates; the others stay within one.
        const int spreadOfOthers = f.scalar("SELECT MAX(SESPLAYED) - MIN(SESPLAYED) FROM GRPPLAYR "
                                            "WHERE GROUPID = ? AND GROUPPLAYERID <> ?",
                                            {id, newcomer})
                                       .toInt();
        QVERIFY(spreadOfOthers <= 1);
        // Ball duty goes on from the counts carried: every date has one bringer per court.
        for (const QDate& d : dates)
            QCOMPARE(f.scalar("SELECT SUM(HOME) FROM SCHEDULE WHERE DATE = ?", {d.toString(Qt::ISODate)}).toInt(), 1);
    }

    void unevenKeptDatesAreEvenedOut_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void unevenKeptDatesAreEvenedOut()
    {
        // Substitutes made one entry play every one of the first dates; the
        // re-plan of the rest brings everybody to the same count again.
        QFETCH(unsigned, seed);
        SeasonFixture f;
        GroupShape g;
        g.entries = 8;
        g.perSession = 4;
        g.weeks = 10;
        g.weekdays = {3};
        const int id = group(f, g, seed);
        const QVector<QDate> dates = f.dates(id);
        const int busy = f.entryIds(id).first();
        SeasonOps ops(f.db(), id);
        for (int i = 0; i < 5; ++i)
            if (f.cell(busy, dates[i], "SCHEDULEID").isNull())
                QCOMPARE(ops.substitute(f.entryOn(id, dates[i], true), dates[i], busy), QString());
        QCOMPARE(f.played(busy) - int(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE >= ?",
                                               {busy, dates[5].toString(Qt::ISODate)})
                                          .toInt()),
                 5);
        std::mt19937 random(seed);
        QCOMPARE(ops.replan(dates[5], random, accept), QString());
        QCOMPARE(f.spread(id), 0);
        QCOMPARE(f.played(busy), 5);
        QVERIFY(f.countsMatchRows(id));
    }

    void cancelAndRefusalsLeaveEverything()
    {
        SeasonFixture f;
        GroupShape g;
        g.weekdays = {3};
        const int id = group(f, g, 9);
        const QVector<QDate> dates = f.dates(id);
        const QString before = f.dumpAll();
        SeasonOps ops(f.db(), id);
        std::mt19937 random(1);
        QVector<ReplanCount> seen;
        QCOMPARE(ops.replan(dates[4], random,
                            [&](const QVector<ReplanCount>& c) {
                                seen = c;
                                return false;
                            }),
                 QString());
        QVERIFY(!seen.isEmpty());
        QCOMPARE(f.dumpAll(), before);
        QVERIFY(!ops.canUndo());

        QVERIFY(!ops.replan(dates.last().addDays(7), random, accept).isEmpty());
        QVERIFY(!ops.replan(dates.first().addDays(-7), random, accept).isEmpty());
        QVERIFY(!ops.replan(dates[2].addDays(1), random, accept).isEmpty());
        f.exec("DELETE FROM COURTSLT");
        QVERIFY(ops.replan(dates[2], random, accept).contains("court"));
        QCOMPARE(f.dumpAll(), before);
    }

    void undoRestoresTheReplannedRows()
    {
        SeasonFixture f;
        GroupShape g;
        g.entries = 10;
        g.weekdays = {2, 5};
        const int id = group(f, g, 4);
        const QString before = f.dumpAll();
        SeasonOps ops(f.db(), id);
        std::mt19937 random(2);
        QCOMPARE(ops.replan(f.dates(id)[7], random, accept), QString());
        const QString after = f.dumpAll();
        QVERIFY(after != before);
        QVERIFY(ops.undo());
        QCOMPARE(f.dumpAll(), before);
        QVERIFY(ops.redo());
        QCOMPARE(f.dumpAll(), after);
    }

    void leagueCompletesEveryRoundAndKeepsResults_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("courts");
        QTest::addColumn<int>("rounds");
        QTest::newRow("6 on 2, two rounds") << 6 << 2 << 2;
        QTest::newRow("5 on 2, a bye") << 5 << 2 << 1;
        QTest::newRow("8 on 3") << 8 << 3 << 2;
    }
    void leagueCompletesEveryRoundAndKeepsResults()
    {
        QFETCH(int, entries);
        QFETCH(int, courts);
        QFETCH(int, rounds);
        SeasonFixture f;
        const int id = f.league(entries, courts, rounds, 21);
        const QVector<QDate> dates = f.dates(id);
        const QDate from = dates[dates.size() / 2];
        SeasonOps ops(f.db(), id);
        // A result already entered for a match from the date on.
        const int first = f.scalar("SELECT MIN(GRPPLAYRID) FROM SCHEDULE WHERE VSGRPPLAYRID IS NOT NULL AND DATE >= ?",
                                   {from.toString(Qt::ISODate)})
                              .toInt();
        const QDate resultDate = QDate::fromString(
            f.scalar("SELECT MIN(DATE) FROM SCHEDULE WHERE GRPPLAYRID = ? AND VSGRPPLAYRID IS NOT NULL AND DATE >= ?",
                     {first, from.toString(Qt::ISODate)})
                .toString(),
            Qt::ISODate);
        const int opponent = ops.season().matchOf(first, resultDate).otherThan(first);
        QCOMPARE(ops.setWinner(first, resultDate, opponent), QString());
        const QString locked = f.rowsBefore(from);

        std::mt19937 random(3);
        QCOMPARE(ops.replan(from, random, accept), QString());
        QCOMPARE(f.rowsBefore(from), locked);
        // Every pairing meets once per round over the whole season.
        const QVector<int> ids = f.entryIds(id);
        for (int i = 0; i < ids.size(); ++i)
            for (int j = i + 1; j < ids.size(); ++j)
                QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE (GRPPLAYRID = ? AND VSGRPPLAYRID = ?) OR "
                                  "(GRPPLAYRID = ? AND VSGRPPLAYRID = ?)",
                                  {ids[i], ids[j], ids[j], ids[i]})
                             .toInt(),
                         rounds);
        QCOMPARE(f.doubledOn(id), 0);
        QVERIFY(f.countsMatchRows(id));
        // The result went with its pairing.
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE WINNER = ? AND (GRPPLAYRID = ? OR GRPPLAYRID = ?)",
                          {opponent, first, opponent})
                     .toInt(),
                 2);
        QCOMPARE(f.scalar("SELECT LWIN FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {opponent}).toInt(), 1);
    }
};

QTEST_MAIN(TestReplan)
#include "tst_replan.moc"
