// Fairness of generated schedules over seeded sets of groups and leagues:
// partners and opponents mixed, leagues that honour days off, even ball
// duty. Figures come from the schedule rows, as the fairness report counts
// them.
#include "engine_fixture.h"
#include "engine/balldutybalance.h"
#include "engine/fairness.h"
#include "engine/runstate.h"
#include "engine/season.h"
#include "engine/seating.h"
#include <QFileInfo>
#include <QSet>
#include <QtTest>
#include <cmath>

namespace {

constexpr int SeededGroups = 100;
constexpr int SeededLeagues = 100;
// The seeds also generated without mixing, to compare who plays when.
constexpr int SeededWithoutMixing = 20;

// A group of four entries on one court, its rows written by hand, day by
// day in January 2027.
struct HandRows {
    EngineFixture f;
    int group = 0;
    QVector<int> e;
    int court = 0;
    HandRows()
    {
        GroupShape shape;
        shape.entries = 4;
        group = f.addGroup(shape);
        e = f.entryIds(group);
        court = f.scalar("SELECT COURTID FROM COURTSLT WHERE GROUPID = ?", {group}).toInt();
    }
    void row(int day, int entry, bool home)
    {
        f.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, HOME) VALUES (?, ?, ?, ?)",
               {entry, QDate(2027, 1, day).toString(Qt::ISODate), court, home ? 1 : 0});
    }
};

// A group's schedule as it stands, measured by the fairness figures.
struct Measured {
    Season season;
    FairnessFigures figures;
    Measured(Database& db, int group) : season(loadSeason(db, group)), figures(computeFairness(season)) {}

    PairSpread partners() const { return pairSpread(figures, &PairFairness::partners); }
    PairSpread opponents() const { return pairSpread(figures, &PairFairness::opponents); }
    PairSpread together() const { return pairSpread(figures, &PairFairness::together); }
    int marked(int entry) const { return figures.entries[season.entryIndex(entry)].balls; }
    int courtsWithoutOneMark() const
    {
        return int(std::count_if(season.sessions.cbegin(), season.sessions.cend(),
                                 [](const CourtSession& c) { return c.homeIds.size() != 1; }));
    }
};

// Most over mean, averaged over groups; partners and opponents only where
// the group plays doubles (elsewhere nobody partners anybody).
struct Sums {
    int groups = 0, doubles = 0;
    double partners = 0, opponents = 0, together = 0;
    int never = 0;
    void add(const Measured& m)
    {
        ++groups;
        together += m.together().mostOverMean();
        never += m.together().never;
        if (!m.figures.splitsSides)
            return;
        ++doubles;
        partners += m.partners().mostOverMean();
        opponents += m.opponents().mostOverMean();
    }
};

// No group far off: within one meeting of the least the numbers allow.
bool nearEven(const PairSpread& p)
{
    return p.most <= std::max(std::ceil(p.mean) + 1, 1.3 * p.mean);
}

struct SeededGroup {
    GroupShape shape;
    unsigned seed = 0;
};

// Groups with four on a court (doubles or no match type), two or three
// courts, up to four entries more than the places, seasons of 28 to 40 dates.
SeededGroup seededGroup(unsigned seed)
{
    std::mt19937 gen(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    SeededGroup g;
    g.seed = seed;
    g.shape.type = pick(0, 1) ? 2 : 0;
    g.shape.courts = pick(2, 3);
    g.shape.perSession = 4 * g.shape.courts;
    g.shape.entries = g.shape.perSession + pick(0, 4);
    g.shape.weekdays = pick(0, 1) ? QVector<int>{2} : QVector<int>{3, 5};
    g.shape.weeks = 28 / int(g.shape.weekdays.size()) + pick(0, 12 / int(g.shape.weekdays.size()));
    return g;
}

}   // namespace

class TestFairness : public QObject {
    Q_OBJECT

    // Generates the group with or without mixing; returns its id.
    int generate(EngineFixture& f, const SeededGroup& g, bool mix)
    {
        const int group = f.addGroup(g.shape);
        f.exec("UPDATE \"group\" SET MIXPAIRS = ? WHERE GROUPID = ?", {mix ? 1 : 0, group});
        ScriptedHost host;
        std::mt19937 rng(g.seed);
        run(f, group, host, rng);
        return group;
    }

    // (entry number, date) of every row, which mixing must leave as it was.
    QVector<QPair<int, QString>> placements(EngineFixture& f, int group)
    {
        QVector<QPair<int, QString>> out;
        QSqlQuery q(f.db().connection());
        q.prepare("SELECT g.GRPSEQNUM, s.DATE FROM SCHEDULE s JOIN GRPPLAYR g ON g.GROUPPLAYERID = s.GRPPLAYRID "
                  "WHERE g.GROUPID = ? ORDER BY s.DATE, g.GRPSEQNUM");
        q.addBindValue(group);
        q.exec();
        while (q.next())
            out.append({q.value(0).toInt(), q.value(1).toString()});
        return out;
    }

    // A one-round league of four entries starting on a Monday.
    static GroupShape smallLeague(int courts, int type)
    {
        GroupShape shape;
        shape.entries = 4;
        shape.courts = courts;
        shape.perSession = 2 * courts;
        shape.type = type;
        shape.weeks = 1;
        shape.start = QDate(2027, 1, 4);
        return shape;
    }
    static void run(EngineFixture& f, int group, ScriptedHost& host, std::mt19937& rng)
    {
        runState() = RunState();
        auto ds = f.open(group);
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, rng);
        engine.GenerateSchedule();
    }

    // League matches (rows that carry the opponent) where either side is off.
    static int matchesOnDayOff(EngineFixture& f, int league)
    {
        return f
            .scalar("SELECT COUNT(*) FROM SCHEDULE s JOIN GRPPLAYR a ON a.GROUPPLAYERID = s.GRPPLAYRID "
                    "JOIN GRPPLAYR b ON b.GROUPPLAYERID = s.VSGRPPLAYRID WHERE a.GROUPID = ? AND EXISTS "
                    "(SELECT 1 FROM PLAYROFF o WHERE o.DATE = s.DATE AND o.PLAYERID IN "
                    "(a.PLAYERID, a.SHARESLOTID, b.PLAYERID, b.SHARESLOTID))",
                    {league})
            .toInt();
    }
    static bool everyPairingMet(EngineFixture& f, int league, const QVector<int>& entries, int rounds)
    {
        for (int i = 0; i < entries.size(); ++i)
            for (int j = i + 1; j < entries.size(); ++j)
                if (f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE (GRPPLAYRID = ? AND VSGRPPLAYRID = ?) OR "
                             "(GRPPLAYRID = ? AND VSGRPPLAYRID = ?)",
                             {entries[i], entries[j], entries[j], entries[i]})
                        .toInt() != rounds)
                    return false;
        Q_UNUSED(league);
        return true;
    }

private slots:
    // The seeded sets write thousands of rows: memory-backed files keep the test quick.
    void initTestCase()
    {
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("TMPDIR", "/dev/shm");
    }
    void init() { runState() = RunState(); }

    // Mixing on: partners and opponents spread, everybody meets everybody,
    // who plays when is untouched, and the ball duty is even.
    void seededGroupsMixed()
    {
        EngineFixture f;
        Sums on, off;
        for (unsigned s = 0; s < SeededGroups; ++s) {
            const SeededGroup g = seededGroup(s);
            const int mixed = generate(f, g, true);
            const Measured m(f.db(), mixed);
            on.add(m);
            for (const PairSpread& p : {m.partners(), m.opponents()})
                QVERIFY2(nearEven(p), qPrintable(QString("seed %1: %2 / %3").arg(s).arg(p.most).arg(p.mean)));
            // Every entry plays 20 dates or more and meets three others each
            // time, far more than the others of its group: nobody is left out.
            QCOMPARE(m.together().never, 0);
            QCOMPARE(m.courtsWithoutOneMark(), 0);
            QVERIFY2(m.figures.ballSpread <= 1, qPrintable(QString("seed %1").arg(s)));
            if (s < SeededWithoutMixing) {
                const int plain = generate(f, g, false);
                QCOMPARE(placements(f, mixed), placements(f, plain));
                off.add(Measured(f.db(), plain));
            }
        }
        qInfo("max/mean over %d groups with mixing: together %.3f, pairs never met %d; over its %d doubles groups: "
              "partners %.3f, opponents %.3f",
              on.groups, on.together / on.groups, on.never, on.doubles, on.partners / on.doubles,
              on.opponents / on.doubles);
        qInfo("max/mean over the first %d without mixing: together %.3f, pairs never met %d; over its %d doubles "
              "groups: partners %.3f, opponents %.3f",
              off.groups, off.together / off.groups, off.never, off.doubles, off.partners / off.doubles,
              off.opponents / off.doubles);
        QVERIFY(on.partners / on.doubles <= 1.3);
        QVERIFY(on.opponents / on.doubles <= 1.3);
    }

    // Leagues with players' days off: no match on a day off while the
    // rounds can still be completed; every pairing met once per round.
    void seededLeaguesHonourDaysOff()
    {
        EngineFixture f;
        int dayOffRows = 0, warned = 0, offered = 0;
        for (unsigned s = 0; s < SeededLeagues; ++s) {
            std::mt19937 gen(1000 + s);
            auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
            GroupShape shape;
            shape.entries = pick(4, 11);
            shape.courts = pick(1, shape.entries / 2);
            shape.perSession = 2 * shape.courts;
            shape.type = pick(1, 2);
            shape.weeks = pick(1, 2);   // rounds
            shape.start = QDate(2027, 1, 4);
            shape.weekdays = pick(0, 1) ? QVector<int>{2} : QVector<int>{3, 5};
            const int league = f.addGroup(shape, 2);
            const QVector<int> entries = f.entryIds(league);
            for (int entry : entries) {
                int partner = 0;
                if (shape.type == 2) {
                    partner = f.addPlayer("Partner", QString::number(entry));
                    f.exec("UPDATE GRPPLAYR SET SHARESLOTID = ? WHERE GROUPPLAYERID = ?", {partner, entry});
                }
                const int player = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {entry}).toInt();
                for (int k = pick(0, 4); k > 0; --k) {
                    const QDate day = shape.start.addDays(7 * pick(0, 12) + (shape.weekdays.size() > 1 ? 3 : 0));
                    f.playerOff(partner && pick(0, 1) ? partner : player, day);
                    ++offered;
                }
            }
            ScriptedHost host;
            run(f, league, host, f.rng);

            const int onDayOff = matchesOnDayOff(f, league);
            const QString warning = host.questions.join('\n');
            if (warning.contains(ScheduleEngine::LeagueDayOffQuestion.section('\n', 0, 0).section('%', 0, 0))) {
                ++warned;
                QCOMPARE(int(warning.count("play on a day off of")), onDayOff);
            } else {
                QCOMPARE(onDayOff, 0);
            }
            dayOffRows += onDayOff;
            QVERIFY2(everyPairingMet(f, league, entries, shape.weeks), qPrintable(QString("league %1").arg(s)));
            const Measured m(f.db(), league);
            QCOMPARE(m.courtsWithoutOneMark(), 0);
            QVERIFY2(m.figures.ballSpread <= 1, qPrintable(QString("league %1").arg(s)));
        }
        qInfo("%d leagues, %d days off: %d matches on a day off, %d runs that had to place one", SeededLeagues, offered,
              dayOffRows, warned);
    }

    void seatsFillCourtsInListOrder()
    {
        QCOMPARE(CourtSeating::courtsOfSeats(10, 4, 2), (QVector<int>{0, 0, 0, 0, 1, 1, 1, 1, 1, 1}));
        QCOMPARE(CourtSeating::courtsOfSeats(6, 2, 5), (QVector<int>{0, 0, 1, 1, 2, 2}));
        QCOMPARE(CourtSeating::courtsOfSeats(3, 4, 0), (QVector<int>{0, 0, 0}));
        QVERIFY(CourtSeating::courtsOfSeats(0, 4, 2).isEmpty());
    }

    void seatingBreaksUpWhoMetBefore()
    {
        CourtSeating seating;
        const QVector<int> oneCourt{0, 0, 0, 0};
        for (int i = 0; i < 3; ++i)
            seating.record({1, 2, 3, 4}, oneCourt);
        QCOMPARE(seating.partnerCount(2, 1), 3);
        QCOMPARE(seating.opponentCount(1, 3), 3);
        QCOMPARE(seating.partnerCount(1, 3), 0);
        const QVector<int> seated = seating.seat({1, 2, 3, 4}, oneCourt);
        // Same four, new partners.
        QCOMPARE(QSet<int>(seated.begin(), seated.end()), (QSet<int>{1, 2, 3, 4}));
        QVERIFY(seating.partnerCount(seated[0], seated[1]) == 0 && seating.partnerCount(seated[2], seated[3]) == 0);

        // Two courts that always held the same four: the next date mixes them.
        CourtSeating two;
        const QVector<int> twoCourts{0, 0, 0, 0, 1, 1, 1, 1};
        two.record({1, 2, 3, 4, 5, 6, 7, 8}, twoCourts);
        two.record({1, 3, 2, 4, 5, 7, 6, 8}, twoCourts);
        const QVector<int> mixed = two.seat({1, 2, 3, 4, 5, 6, 7, 8}, twoCourts);
        for (int court = 0; court < 2; ++court) {
            int low = 0;
            for (int i = 0; i < 4; ++i)
                low += mixed[4 * court + i] <= 4;
            QCOMPARE(low, 2);
        }
        // The same history and order give the same seats.
        QCOMPARE(two.seat({1, 2, 3, 4, 5, 6, 7, 8}, twoCourts), mixed);
    }

    // The history keeps its counts as the entries seen grow past its room.
    void seatingHistoryKeptAsEntriesGrow()
    {
        CourtSeating seating;
        const QVector<int> oneCourt{0, 0, 0, 0};
        seating.record({1, 2, 3, 4}, oneCourt);
        seating.record({2, 1, 4, 3}, oneCourt);
        for (int first = 5; first < 100; first += 4)
            seating.record({first, first + 1, first + 2, first + 3}, oneCourt);
        seating.record({1, 97, 98, 2}, oneCourt);
        QCOMPARE(seating.partnerCount(1, 2), 2);
        QCOMPARE(seating.opponentCount(4, 1), 2);
        QCOMPARE(seating.opponentCount(1, 2), 1);
        QCOMPARE(seating.partnerCount(1, 97), 1);
        QCOMPARE(seating.partnerCount(97, 98), 1);
        QCOMPARE(seating.partnerCount(98, 2), 1);
        QCOMPARE(seating.opponentCount(97, 98), 1);
        QCOMPARE(seating.opponentCount(3, 5), 0);
        QCOMPARE(seating.partnerCount(1, 1000), 0);
    }

    void seatingKeepsAnEntryPlacedTwice()
    {
        CourtSeating seating;
        seating.record({1, 2, 3, 4}, {0, 0, 0, 0});
        const QVector<int> seated = seating.seat({1, 2, 3, 3, 4}, {0, 0, 0, 0, 0});
        QVector<int> sorted = seated;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QVector<int>{1, 2, 3, 3, 4}));
    }

    // Marks carried to other entries by reconciliation, a court left without
    // a mark and one with two: afterwards one each, counts even.
    void ballDutyEvenedFromTheRows()
    {
        HandRows h;
        EngineFixture& f = h.f;
        const int group = h.group;
        const QVector<int>& e = h.e;
        auto row = [&](int day, int entry, bool home) { h.row(day, entry, home); };
        row(1, e[0], true), row(1, e[1], false);
        row(2, e[0], true), row(2, e[1], false);
        row(3, e[0], true), row(3, e[2], false);
        row(4, e[2], false), row(4, e[3], false);   // no mark
        row(5, e[1], true), row(5, e[3], true);     // two marks
        row(6, e[0], true), row(6, e[3], false);

        BallDutyBalance balance(f.db());
        QVERIFY(balance.balance(group) > 0);
        const Measured c(f.db(), group);
        QCOMPARE(c.courtsWithoutOneMark(), 0);
        // e0 plays 4 dates, e1 3, e2 2, e3 3: equal players within one mark,
        // and e0 no longer carries all its four.
        QVERIFY(std::abs(c.marked(e[1]) - c.marked(e[3])) <= 1);
        QVERIFY(c.marked(e[0]) <= 2);
        QCOMPARE(c.marked(e[0]) + c.marked(e[1]) + c.marked(e[2]) + c.marked(e[3]), 6);
        for (int entry : e)
            QCOMPARE(f.scalar("SELECT BBPRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {entry}).toDouble(),
                     5000 * std::pow(0.5, c.marked(entry)));
        // Balanced already: nothing more to change.
        QCOMPARE(balance.balance(group), 0);
    }

    // From a date on: the three marks e0 carried before it stay, and count,
    // so e0 takes no more; the later courts (one without a mark, one with
    // two) end with one each, and the three who play four dates get two.
    void ballDutyEvenedFromADate()
    {
        HandRows h;
        EngineFixture& f = h.f;
        const int group = h.group;
        const QVector<int>& e = h.e;
        auto row = [&](int day, int entry, bool home) { h.row(day, entry, home); };
        row(1, e[0], true), row(1, e[1], false);
        row(2, e[0], true), row(2, e[2], false);
        row(3, e[0], true), row(3, e[3], false);
        row(4, e[0], true), row(4, e[1], false);
        row(5, e[0], false), row(5, e[2], false);   // no mark
        row(6, e[1], true), row(6, e[2], true);     // two marks
        row(7, e[3], true), row(7, e[0], false);
        row(8, e[1], false), row(8, e[3], true);
        row(9, e[2], false), row(9, e[3], true);
        auto rowsUpTo = [&](int day) {
            QStringList rows;
            QSqlQuery q(f.db().connection());
            q.exec("SELECT SCHEDULEID, GRPPLAYRID, DATE, quote(HOME) FROM SCHEDULE WHERE DATE <= '" +
                   QDate(2027, 1, day).toString(Qt::ISODate) + "' ORDER BY SCHEDULEID");
            while (q.next())
                rows << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                    q.value(3).toString()}
                            .join('|');
            return rows;
        };
        const QStringList kept = rowsUpTo(3);

        BallDutyBalance(f.db()).balance(group, QDate(2027, 1, 4));
        QCOMPARE(rowsUpTo(3), kept);
        const Measured c(f.db(), group);
        QCOMPARE(c.courtsWithoutOneMark(), 0);
        QCOMPARE(c.marked(e[0]), 3);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(c.marked(e[i]), 2);
        QCOMPARE(f.scalar("SELECT BBPRIORITY FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {e[0]}).toDouble(), 5000 * 0.125);
    }

    // A doubles team whose second player is off on the first date sits it
    // out; the round still completes without a match on a day off.
    void doublesPartnerDayOffHonoured()
    {
        EngineFixture f;
        const GroupShape shape = smallLeague(2, 2);
        const int league = f.addGroup(shape, 2);
        const QVector<int> e = f.entryIds(league);
        const int partner = f.addPlayer("Pat", "Partner");
        f.exec("UPDATE GRPPLAYR SET SHARESLOTID = ? WHERE GROUPPLAYERID = ?", {partner, e[1]});
        f.playerOff(partner, shape.start);
        ScriptedHost host;
        run(f, league, host, f.rng);
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE = ?",
                          {e[1], shape.start.toString(Qt::ISODate)})
                     .toInt(),
                 0);
        QCOMPARE(matchesOnDayOff(f, league), 0);
        QVERIFY(everyPairingMet(f, league, e, 1));
        QVERIFY(host.warnings.isEmpty());
    }

    // A player off on every date the league could use: the run ends all the
    // same and names each match it had to put on the day off.
    void leagueThatCannotAvoidADayOffSaysSo()
    {
        EngineFixture f;
        const GroupShape shape = smallLeague(1, 1);
        const int league = f.addGroup(shape, 2);
        const QVector<int> e = f.entryIds(league);
        const int player = f.scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {e[0]}).toInt();
        for (int week = 0; week < 200; ++week)
            f.playerOff(player, shape.start.addDays(7 * week));
        ScriptedHost host;
        run(f, league, host, f.rng);
        QVERIFY(everyPairingMet(f, league, e, 1));
        QCOMPARE(matchesOnDayOff(f, league), 3);
        QCOMPARE(host.questions.size(), 1);
        QVERIFY(host.questions[0].startsWith(ScheduleEngine::LeagueDayOffQuestion.section('%', 0, 0)));
        QCOMPARE(int(host.questions[0].count("play on a day off of P1 L1")), 3);
        QVERIFY(host.questions[0].contains("entries 1 and 2"));
    }
};

QTEST_MAIN(TestFairness)
#include "tst_fairness.moc"
