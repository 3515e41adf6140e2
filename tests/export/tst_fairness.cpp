#include "exportfixture.h"
#include "engine/fairness.h"
#include <QtTest>

namespace {
GroupShape groupOf(int entries, int perSession, int courts, int matchType, int weeks)
{
    GroupShape g;
    g.entries = entries;
    g.perSession = perSession;
    g.courts = courts;
    g.type = matchType;
    g.weeks = weeks;
    return g;
}
}   // namespace

class TestFairness : public QObject {
    Q_OBJECT
private slots:
    void entryFiguresMatchAHandCount();
    void spreadsAndWarningsMatchAHandCount();
    void pairsAsPartnersAndOpponents();
    void handChangesAreWarnedAbout();
    void generatedScheduleAgreesWithItsCounters();
    void singlesAndLeaguesCountNoPairs();
    void noScheduleSaysSo();
};

void TestFairness::entryFiguresMatchAHandCount()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    const FairnessFigures f = computeFairness(s);
    QCOMPARE(f.dateCount, 4);
    QCOMPARE(s.courtOrder, (QVector<int>{h.courtA, h.courtB}));
    struct Want {
        int played, daysOff, gap, balls, onA, onB;
    };
    const Want want[] = {
        {}, {4, 0, 0, 2, 3, 1}, {4, 0, 0, 1, 3, 1}, {4, 0, 0, 1, 3, 1}, {1, 2, 3, 0, 1, 0}, {3, 0, 1, 0, 2, 1}};
    QCOMPARE(f.entries.size(), 5);
    for (int n = 1; n <= 5; ++n) {
        const EntryFairness& e = f.entries[n - 1];
        QCOMPARE(e.number, n);
        QCOMPARE(e.datesPlayed, want[n].played);
        QCOMPARE(e.daysOff, want[n].daysOff);   // player 5's day off is not a date of play
        QCOMPARE(e.longestGap, want[n].gap);
        QCOMPARE(e.balls, want[n].balls);
        QCOMPARE(e.perCourt, (QVector<int>{want[n].onA, want[n].onB}));
    }
    QCOMPARE(f.entries[3].freeDates, 2);
    QCOMPARE(f.entries[0].name, QStringLiteral("Ann \"Jo\" O'Neil, Jr"));
}

void TestFairness::spreadsAndWarningsMatchAHandCount()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    const FairnessFigures f = computeFairness(s);
    QCOMPARE(f.mostPlayed, 4);
    QCOMPARE(f.fewestPlayed, 1);
    QCOMPARE(f.playedSpread, 3);
    // Entries 1-3 play 4 dates and carry the balls 2, 1 and 1 times.
    QCOMPARE(f.ballSpread, 1);
    QCOMPARE(f.ballSpreadPlayed, 4);
    const QString all = f.warnings.join('\n');
    QVERIFY2(all.contains("Dates played differ by 3: some entries play 4 dates, others only 1."), qPrintable(all));
    QVERIFY2(all.contains("4. Di Dunn could play on only 2 of the 4 dates because of 2 days off, while others "
                          "play up to 4."),
             qPrintable(all));
    QVERIFY2(all.contains("1 pair of entries never share a court, while others meet up to 4 times."), qPrintable(all));
    QVERIFY(!all.contains("ball duty differs"));   // a spread of 1 is as even as it gets
    QCOMPARE(f.warnings.size(), 3);

    const QString text = FairnessText::plainText(s, f);
    QVERIFY(text.contains("Dates played: most 4, fewest 1, spread 3"));
    QVERIFY(text.contains("Never met, 1 pair: 4 and 5"));
    // Columns line up: numbers to the right, names to the left.
    QVERIFY2(text.contains("\n#  Name                 Played  Days off  Longest gap  Balls  Court A  Court B\n"
                           "1  Ann \"Jo\" O'Neil, Jr       4         0            0      2        3        1\n"),
             qPrintable(text));
}

void TestFairness::pairsAsPartnersAndOpponents()
{
    HandSeason h;
    const FairnessFigures f = computeFairness(loadSeason(h.db(), h.groupId));
    QVERIFY(f.hasPairs);
    QVERIFY(f.splitsSides);
    QCOMPARE(f.pairs.size(), 10);
    // first, second, partners, opponents
    const int want[][4] = {{1, 2, 2, 2}, {1, 3, 2, 2}, {1, 4, 0, 1}, {1, 5, 0, 3}, {2, 3, 0, 4},
                           {2, 4, 0, 1}, {2, 5, 2, 1}, {3, 4, 1, 0}, {3, 5, 1, 2}, {4, 5, 0, 0}};
    for (const auto& w : want) {
        const auto it = std::find_if(f.pairs.begin(), f.pairs.end(),
                                     [&](const PairFairness& p) { return p.first == w[0] && p.second == w[1]; });
        QVERIFY(it != f.pairs.end());
        QCOMPARE(it->partners, w[2]);
        QCOMPARE(it->opponents, w[3]);
        QCOMPARE(it->together, w[2] + w[3]);
    }
    QCOMPARE(f.mostMet, 4);
    QCOMPARE(f.fewestMet, 0);
    const PairSpread partners = pairSpread(f, &PairFairness::partners);
    const PairSpread opponents = pairSpread(f, &PairFairness::opponents);
    QCOMPARE(partners.most, 2);
    QCOMPARE(partners.mean, 0.8);
    QCOMPARE(partners.never, 5);
    QCOMPARE(opponents.mostOverMean(), 4 / 1.6);
    QCOMPARE(opponents.never, 2);
    const QStringList lines = FairnessText::pairLines(f);
    QVERIFY(lines.first().startsWith("Met most often, 4 times: 1 and 2 (2 as partners, 2 as opponents); "
                                     "1 and 3 (2 as partners, 2 as opponents); 2 and 3"));
}

void TestFairness::handChangesAreWarnedAbout()
{
    HandSeason h;
    h.removeRow(4, 5);                       // d4, court A keeps three entries
    h.court(4, h.courtB, {4}, 0);            // entry 4 alone on court B
    h.court(2, h.courtB, {1, 4, 5, 2}, 0);   // entry 1 on two courts on d2
    const Season s = loadSeason(h.db(), h.groupId);
    const FairnessFigures f = computeFairness(s);
    const QString all = f.warnings.join('\n');
    QVERIFY2(all.contains("1. Ann \"Jo\" O'Neil, Jr is placed more than once on 1 date."), qPrintable(all));
    QVERIFY2(all.contains("2. Bob Brown is placed more than once on 1 date."), qPrintable(all));
    QVERIFY2(all.contains("On Mon 29 Mar 2027, Court A has 3 entries instead of 4."), qPrintable(all));
    QVERIFY2(all.contains("On Mon 29 Mar 2027, Court B has 1 entry instead of 4."), qPrintable(all));
    // Placed twice on a date still counts one date played, on each court it played.
    QCOMPARE(f.entries[0].datesPlayed, 4);
    QCOMPARE(f.entries[0].doubleBooked, 1);
    QCOMPARE(f.entries[0].perCourt, (QVector<int>{3, 2}));
    QCOMPARE(f.entries[3].datesPlayed, 3);   // d1, d2 and d4 now, despite its days off
}

void TestFairness::generatedScheduleAgreesWithItsCounters()
{
    EngineFixture fx;
    const int group = fx.addGroup(groupOf(10, 8, 2, 2, 10));
    fx.playerOff(fx.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPID = ? AND GRPSEQNUM = 3", {group}).toInt(),
                 QDate(2000, 3, 13));
    auto ds = fx.open(group);
    ScriptedHost host;
    ScheduleEngine(fx.db(), group, host, fx.rng).GenerateSchedule();

    const Season s = loadSeason(fx.db(), group);
    const FairnessFigures f = computeFairness(s);
    QCOMPARE(f.dateCount, 10);
    int places = 0;
    for (const EntryFairness& e : f.entries) {
        QCOMPARE(e.datesPlayed, fx.played(e.entryId));   // SESPLAYED, kept by the run
        QCOMPARE(e.perCourt[0] + e.perCourt[1], e.datesPlayed);
        places += e.datesPlayed;
        QVERIFY(e.longestGap < f.dateCount);
    }
    QCOMPARE(places, 80);          // 8 a date on 10 dates
    QCOMPARE(f.playedSpread, 0);   // 80 places share out as 8 each
    int balls = 0;
    for (const EntryFairness& e : f.entries)
        balls += e.balls;
    QCOMPARE(balls, 20);   // one per court per date
    int together = 0;
    for (const PairFairness& p : f.pairs)
        together += p.together;
    QCOMPARE(together, 20 * 6);   // six pairs on each court and date
}

void TestFairness::singlesAndLeaguesCountNoPairs()
{
    EngineFixture fx;
    const int group = fx.addGroup(groupOf(4, 4, 2, 1, 3));
    auto ds = fx.open(group);
    ScriptedHost host;
    ScheduleEngine(fx.db(), group, host, fx.rng).GenerateSchedule();
    const FairnessFigures f = computeFairness(loadSeason(fx.db(), group));
    QVERIFY(!f.hasPairs);
    QVERIFY(f.pairs.isEmpty());
    QVERIFY(FairnessText::pairLines(f).isEmpty());
    QVERIFY2(f.warnings.isEmpty(), qPrintable(f.warnings.join('\n')));
}

void TestFairness::noScheduleSaysSo()
{
    EngineFixture fx;
    const int group = fx.addGroup(GroupShape());
    const FairnessFigures f = computeFairness(loadSeason(fx.db(), group));
    QCOMPARE(f.warnings, QStringList{"There is no schedule yet: generate it first."});
    for (const EntryFairness& e : f.entries)
        QCOMPARE(e.datesPlayed, 0);
}

QTEST_MAIN(TestFairness)
#include "tst_fairness.moc"
