#include "league_fixture.h"
#include "data/database.h"
#include "data/query.h"
#include <QHash>
#include <QSet>
#include <QtTest>
#include <random>

namespace {
using Pair = QPair<int, int>;

Pair pairOf(int a, int b)
{
    return a < b ? Pair(a, b) : Pair(b, a);
}

// Matches as (first entry, second entry) by position in the entry list,
// 1-based, date by date: what a schedule worked out by hand lists.
QVector<QVector<Pair>> byDate(LeagueFixture& f)
{
    QVector<QVector<Pair>> out;
    QDate last;
    for (const LeagueMatch& m : f.matches()) {
        if (m.date != last)
            out.append(QVector<Pair>());
        last = m.date;
        out.last().append(Pair(int(f.entries.indexOf(m.pid1)) + 1, int(f.entries.indexOf(m.pid2)) + 1));
    }
    return out;
}

QString describe(const LeagueSettings& s)
{
    return QString("%1 entries, %2 courts, %3 rounds, type %4")
        .arg(s.entries)
        .arg(s.courts)
        .arg(s.rounds)
        .arg(s.matchType);
}
}

class TestLeague : public QObject {
    Q_OBJECT

    // What every finished league run must satisfy.
    void checkInvariants(LeagueFixture& f)
    {
        const QString what = describe(f.settings);
        const QVector<LeagueMatch> ms = f.matches();
        const int p = int(f.entries.size());
        const int pairings = p * (p - 1) / 2;

        // Nobody twice on a date, every row on one of the league's courts.
        QHash<QDate, QSet<int>> onDate;
        Query rows(f.db(), "SELECT GRPPLAYRID, \"DATE\", GRPCOURTID FROM \"SCHEDULE.db\"");
        rows.prepare();
        rows.open();
        for (rows.first(); !rows.eof(); rows.next()) {
            const int e = rows.asInt("GRPPLAYRID");
            QVERIFY2(!onDate[rows.asDate("DATE")].contains(e), qPrintable(what));
            onDate[rows.asDate("DATE")].insert(e);
            QVERIFY2(f.courts.contains(rows.asInt("GRPCOURTID")), qPrintable(what));
        }
        QCOMPARE(rows.recordCount(), 2 * int(ms.size()));

        // Rounds are consecutive blocks of the matches: each holds every
        // pairing exactly once.
        QCOMPARE(int(ms.size()), pairings * f.settings.rounds);
        for (int r = 0; r < f.settings.rounds; ++r) {
            QSet<Pair> seen;
            for (int i = r * pairings; i < (r + 1) * pairings; ++i)
                seen.insert(pairOf(ms[i].pid1, ms[i].pid2));
            QVERIFY2(seen.size() == pairings, qPrintable(what + QString(" round %1").arg(r + 1)));
        }

        // The weights the pairing reads back are the ones the run worked out.
        for (int e : f.entries) {
            QCOMPARE(f.sessionsPlayed(e), double(f.rowsOf(e)));
            QCOMPARE(f.rowsOf(e), (p - 1) * f.settings.rounds);
            QCOMPARE(f.priority(e), f.engine->priorityOf(e));
        }
        QVERIFY(f.pairing->AllRoundsPlayed());
        QCOMPARE(f.openPairings(), 0);
    }

private slots:
    void buildMatchesFillsEveryPairingInEntryOrder()
    {
        LeagueFixture f;
        f.createLeague({4, 2, 1});
        f.startRun();
        QCOMPARE(f.state.matchCount, 6);
        QCOMPARE(f.state.roundsBuilt, 1);

        Query q(f.db(), "SELECT MATCHID, PID1, PID2, PLAYED, WEIGHT, Mix FROM \"MATCHES.db\" ORDER BY MATCHID");
        q.prepare();
        q.open();
        const QVector<Pair> order = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
        QCOMPARE(q.recordCount(), 6);
        int lastId = 0;
        for (int i = 0; i < 6; ++i, q.next()) {
            QVERIFY(q.asInt("MATCHID") > lastId);
            lastId = q.asInt("MATCHID");
            QCOMPARE(q.asInt("PID1"), f.entries[order[i].first]);
            QCOMPARE(q.asInt("PID2"), f.entries[order[i].second]);
            QVERIFY(!q.asBool("PLAYED"));
            QVERIFY(q.isNull("WEIGHT"));
        }

        // A second build replaces the table rather than adding to it.
        f.pairing->BuildMatches();
        QCOMPARE(f.state.roundsBuilt, 2);
        QCOMPARE(f.openPairings(), 6);
    }

    void mixHoldsSecondThenFirstDigits()
    {
        LeagueFixture f;
        LeagueSettings s{2, 1, 1};
        f.createLeague(s);
        // Entries 7 and 12 as the stored ids.
        f.db().exec(QString("UPDATE GRPPLAYR SET GROUPPLAYERID = 7 WHERE GROUPPLAYERID = %1").arg(f.entries[0]));
        f.db().exec(QString("UPDATE GRPPLAYR SET GROUPPLAYERID = 12 WHERE GROUPPLAYERID = %1").arg(f.entries[1]));
        f.reloadEngine();
        f.pairing->BuildMatches();
        f.engine->writePlan();
        Query q(f.db(), "SELECT PID1, PID2, Mix FROM \"MATCHES.db\"");
        q.prepare();
        q.open();
        QCOMPARE(q.asInt("PID1"), 7);
        QCOMPARE(q.asInt("PID2"), 12);
        QCOMPARE(q.asString("Mix"), QString("127"));
    }

    // Four entries on two courts over one round, row by row.
    void fourEntriesOneRoundByHand()
    {
        LeagueFixture f;
        f.createLeague({4, 2, 1});
        const QVector<QDate> dates = f.run();
        QCOMPARE(dates.size(), 3);
        const QVector<QVector<Pair>> expected = {{{1, 2}, {3, 4}}, {{1, 3}, {2, 4}}, {{1, 4}, {2, 3}}};
        QCOMPARE(byDate(f), expected);
        QCOMPARE(f.openPairings(), 0);
        QCOMPARE(f.state.roundsBuilt, 1);

        // Opponent and its number on the first row only; courts in list order.
        const QVector<LeagueMatch> ms = f.matches();
        QCOMPARE(ms[0].slot1, 1);
        QCOMPARE(ms[0].slot2, 2);
        QCOMPARE(ms[0].courtIndex, 0);
        QCOMPARE(ms[1].courtIndex, 1);
        Query second(f.db(), "SELECT VSGRPPLAYRID, SLOTCODE, SLOTCODE2, GRPCOURTID, HOME FROM \"SCHEDULE.db\""
                             " WHERE GRPPLAYRID = :e AND \"DATE\" = :d");
        second.setInteger("e", f.entries[1]);
        second.setDate("d", dates[0]);
        second.prepare();
        second.open();
        QCOMPARE(second.recordCount(), 1);
        QVERIFY(second.isNull("VSGRPPLAYRID"));
        QVERIFY(second.isNull("SLOTCODE2"));
        QVERIFY(!second.asBool("HOME"));
        QCOMPARE(second.asInt("SLOTCODE"), 2);
        QCOMPARE(second.asInt("GRPCOURTID"), f.courts[0]);
        checkInvariants(f);
    }

    // Five entries on two courts: one sits out each date, last entry first;
    // date 3 needs the search to withdraw its first pick.
    void fiveEntriesByeOrderAndBacktracking()
    {
        LeagueFixture f;
        f.createLeague({5, 2, 1});
        const QVector<QDate> dates = f.run();
        QVERIFY(f.state.byeFlag);
        QCOMPARE(dates.size(), 5);
        const QVector<QVector<Pair>> expected = {
            {{1, 2}, {3, 4}}, {{1, 3}, {2, 5}}, {{1, 5}, {2, 4}}, {{1, 4}, {3, 5}}, {{2, 3}, {4, 5}}};
        QCOMPARE(byDate(f), expected);
        // Sitting out: 5, 4, 3, 2, 1.
        for (int d = 0; d < 5; ++d) {
            Query q(f.db(), "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\" WHERE GRPPLAYRID = :e AND \"DATE\" = :d");
            q.setInteger("e", f.entries[4 - d]);
            q.setDate("d", dates[d]);
            q.prepare();
            q.open();
            QCOMPARE(q.asInt("N"), 0);
        }
        // No weights with a bye.
        Query w(f.db(), "SELECT COUNT(*) AS N FROM \"MATCHES.db\" WHERE WEIGHT IS NOT NULL");
        w.prepare();
        w.open();
        QCOMPARE(w.asInt("N"), 0);
        checkInvariants(f);
    }

    void byeOrderWrapsAfterTheFirstEntry()
    {
        LeagueFixture f;
        f.createLeague({5, 2, 2});
        f.startRun();
        for (int d = 0; d < 6; ++d)
            f.scheduleDate(f.settings.start.addDays(7 * d));
        // Sixth date: back to the last entry.
        const QDate sixth = f.settings.start.addDays(35);
        QCOMPARE(f.rowsOf(f.entries[4]), 4);
        Query q(f.db(), "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\" WHERE GRPPLAYRID = :e AND \"DATE\" = :d");
        q.setInteger("e", f.entries[4]);
        q.setDate("d", sixth);
        q.prepare();
        q.open();
        QCOMPARE(q.asInt("N"), 0);
        QCOMPARE(f.state.byeCursor, 1);
    }

    // Six entries, two courts: those who sat out come first the next date.
    void sixEntriesWeightsBringSittersForward()
    {
        LeagueFixture f;
        f.createLeague({6, 2, 1});
        f.startRun();
        f.scheduleDate(f.settings.start);
        QCOMPARE(byDate(f).value(0), (QVector<Pair>{{1, 2}, {3, 4}}));
        QCOMPARE(f.priority(f.entries[0]), 2500.0);
        QCOMPARE(f.priority(f.entries[4]), 105000.0);

        Query w(f.db(), "SELECT WEIGHT FROM \"MATCHES.db\" WHERE PID1 = :a AND PID2 = :b");
        w.setInteger("a", f.entries[4]);
        w.setInteger("b", f.entries[5]);
        w.prepare();
        w.open();
        QCOMPARE(w.asFloat("WEIGHT"), 210000.0);

        f.scheduleDate(f.settings.start.addDays(7));
        QCOMPARE(byDate(f).value(1), (QVector<Pair>{{5, 6}, {1, 3}}));
    }

    // Leagues of one round follow the pairing rules to the letter.
    void singleRoundLeaguesByHand()
    {
        {
            // Three entries, one court: with no bye flag (two sit out), the
            // weights decide from the second date.
            LeagueFixture f;
            f.createLeague({3, 1, 1});
            f.run();
            const QVector<QVector<Pair>> expected = {{{1, 2}}, {{1, 3}}, {{2, 3}}};
            QCOMPARE(byDate(f), expected);
        }
        {
            // Six entries on three courts: 15 pairings in 5 dates.
            LeagueFixture f;
            f.createLeague({6, 3, 1});
            f.run();
            const QVector<QVector<Pair>> expected = {{{1, 2}, {3, 4}, {5, 6}},
                                                     {{1, 3}, {2, 5}, {4, 6}},
                                                     {{1, 4}, {2, 6}, {3, 5}},
                                                     {{1, 5}, {2, 4}, {3, 6}},
                                                     {{1, 6}, {2, 3}, {4, 5}}};
            QCOMPARE(byDate(f), expected);
        }
    }

    // A date that completes a round counts its matches toward that round;
    // the new round starts unplayed and fills the courts still free.
    void roundsRebuiltWithoutLosingPairings_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("courts");
        QTest::newRow("6 entries, 2 courts") << 6 << 2;
        QTest::newRow("5 entries, 2 courts, bye") << 5 << 2;
        QTest::newRow("7 entries, 3 courts, bye") << 7 << 3;
        QTest::newRow("4 entries, 4 courts") << 4 << 4;
    }
    void roundsRebuiltWithoutLosingPairings()
    {
        QFETCH(int, entries);
        QFETCH(int, courts);
        LeagueFixture f;
        f.createLeague({entries, courts, 3});
        f.run();
        QCOMPARE(f.state.roundsBuilt, 3);
        checkInvariants(f);
    }

    // The date that completes a round fills its free court from the new
    // round; those matches count toward the new round only.
    void freeCourtsTakeTheNewRound()
    {
        LeagueFixture f;
        f.createLeague({6, 2, 2});
        f.startRun();
        QDate date = f.settings.start;
        while (f.state.roundsBuilt < 2 && date < f.settings.start.addYears(1)) {
            f.scheduleDate(date);
            date = date.addDays(7);
        }
        const QDate completing = date.addDays(-7);
        int onDate = 0;
        for (const LeagueMatch& m : f.matches())
            onDate += m.date == completing;
        QCOMPARE(onDate, 2);
        QCOMPARE(f.state.usedSinceBuild, int(f.matches().size()) - 15);
        QCOMPARE(f.state.usedSinceBuild, 1);
        QCOMPARE(f.openPairings(), 14);
    }

    // Every date's courts full until the last round's last date: the rounds
    // take their fewest dates. More courts than pairs of entries leave
    // courts empty, so the run goes on past its session total.
    void roundsTakeTheirFewestDates()
    {
        LeagueFixture literal;
        literal.createLeague({4, 1, 1});
        QCOMPARE(literal.run().size(), 6);

        for (int p = 6; p <= 10; ++p)
            for (int c = 2; c <= 4; ++c) {
                LeagueFixture f;
                f.createLeague({p, c, 2});
                const int n = int(f.run().size());
                checkInvariants(f);
                QCOMPARE(n, LeaguePairing::FewestDates(p, c, 2));
                if (2 * c > p)
                    QVERIFY(n > f.sessionTotal());
            }
    }

    // Every entry on court every date (or all but one): each round takes
    // P - 1 dates (P when one sits out), every court full.
    void everyEntryOnCourt_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("courts");
        QTest::addColumn<int>("rounds");
        QTest::newRow("20 entries, 10 courts, 4 rounds") << 20 << 10 << 4;
        QTest::newRow("21 entries, 10 courts, 3 rounds") << 21 << 10 << 3;
        QTest::newRow("19 entries, 9 courts, 2 rounds") << 19 << 9 << 2;
    }

    void everyEntryOnCourt()
    {
        QFETCH(int, entries);
        QFETCH(int, courts);
        QFETCH(int, rounds);
        LeagueFixture f;
        f.createLeague({entries, courts, rounds});
        const QVector<QDate> dates = f.run();
        checkInvariants(f);
        QCOMPARE(int(dates.size()), (entries % 2 ? entries : entries - 1) * rounds);
        for (const QVector<Pair>& d : byDate(f))
            QCOMPARE(int(d.size()), courts);
    }

    void invariantsOverSeededLeagues()
    {
        std::mt19937 rng(20261208);
        for (int i = 0; i < 40; ++i) {
            LeagueSettings s;
            s.courts = 1 + int(rng() % 6);
            s.rounds = 1 + int(rng() % 4);
            s.matchType = 1 + int(rng() % 2);
            // One in four with exactly one entry sitting out each date.
            s.entries = (rng() % 4 == 0) ? 2 * s.courts + 1 : 3 + int(rng() % 14);
            if (s.entries > 16)
                s.entries = 16;
            s.weekdays = (rng() % 2) ? QVector<int>{2} : QVector<int>{1, 4, 7};
            LeagueFixture f;
            f.createLeague(s);
            f.run();
            checkInvariants(f);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // A doubles league places teams: one row per team, its player and
    // partner on one entry.
    void doublesTeamsAreEntries()
    {
        LeagueFixture f;
        f.createLeague({6, 3, 1, 2});
        f.run();
        checkInvariants(f);
        Query q(f.db(), "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\" S WHERE NOT EXISTS"
                        " (SELECT 1 FROM \"GRPPLAYR.db\" G WHERE G.GROUPPLAYERID = S.GRPPLAYRID"
                        " AND G.SHARESLOTID IS NOT NULL)");
        q.prepare();
        q.open();
        QCOMPARE(q.asInt("N"), 0);
        QCOMPARE(f.scheduleRows(), 15 * 2);
    }

    // --- mended faults ---

    void refusesLeaguesThatCannotBeScheduled()
    {
        QVERIFY(LeaguePairing::RefusalReason(2, 1, 1).isEmpty());
        QCOMPARE(LeaguePairing::RefusalReason(0, 1, 1),
                 QString("Assign at least one court to the league before generating its schedule."));
        QVERIFY(LeaguePairing::RefusalReason(1, 0, 1).contains("day of the week"));
        QVERIFY(LeaguePairing::RefusalReason(1, 1, 0).contains("rounds"));
    }

    void dateWithoutCourtsWritesNothing()
    {
        LeagueFixture f;
        f.createLeague({4, 0, 1});
        f.startRun();
        f.pairing->ScheduleLeagueDate(f.settings.start);
        f.engine->writePlan();
        QCOMPARE(f.scheduleRows(), 0);
        QCOMPARE(f.openPairings(), 6);
    }

    void sixtyCourtsOnOneDate()
    {
        LeagueFixture f;
        f.createLeague({120, 60, 1});
        f.startRun();
        f.pairing->ScheduleLeagueDate(f.settings.start);
        f.engine->writePlan();
        const QVector<LeagueMatch> ms = f.matches();
        QCOMPARE(ms.size(), 60);
        QSet<int> seen;
        QSet<int> courtsUsed;
        for (const LeagueMatch& m : ms) {
            QVERIFY(!seen.contains(m.pid1) && !seen.contains(m.pid2));
            seen << m.pid1 << m.pid2;
            courtsUsed << m.court;
        }
        QCOMPARE(seen.size(), 120);
        QCOMPARE(courtsUsed.size(), 60);
        QCOMPARE(ms.last().courtIndex, 59);
    }

    void entryIdsAboveSixteenBits()
    {
        LeagueFixture f;
        LeagueSettings s{5, 2, 2};
        s.firstEntryId = 40001;
        f.createLeague(s);
        f.run();
        checkInvariants(f);
        Query q(f.db(), "SELECT MIN(PID1) AS LO, MAX(PID2) AS HI FROM \"MATCHES.db\"");
        q.prepare();
        q.open();
        QCOMPARE(q.asInt("LO"), 40001);
        QCOMPARE(q.asInt("HI"), 40005);
        Query m(f.db(), "SELECT Mix FROM \"MATCHES.db\" WHERE PID1 = 40001 AND PID2 = 40005");
        m.prepare();
        m.open();
        QCOMPARE(m.asString("Mix"), QString("4000540001"));
        for (const LeagueMatch& x : f.matches())
            QVERIFY(x.pid1 > 40000 && x.pid2 > 40000 && x.slot1 >= 1 && x.slot2 >= 1);
    }
};

QTEST_GUILESS_MAIN(TestLeague)
#include "tst_league.moc"
