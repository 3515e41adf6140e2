// Substitutes, swaps, league results and standings, with undo and redo, on
// generated schedules; and changes that meet rows changed elsewhere.
#include "season_fixture.h"
#include "engine/emptyplaces.h"
#include "engine/fairness.h"
#include "engine/groupsetup.h"
#include "engine/plan.h"
#include "windows/rosterdeletes.h"
#include "data/table.h"
#include "engine/season.h"
#include "engine/standings.h"
#include "testlocation.h"
#include <QtTest>

class TestSeason : public QObject {
    Q_OBJECT

    // 8 entries, 4 per session, one court, Tuesdays for 10 weeks.
    int group(SeasonFixture& f, int entries = 8, int perSession = 4)
    {
        GroupShape g;
        g.entries = entries;
        g.perSession = perSession;
        g.weekdays = {3};
        const int id = f.addGroup(g);
        f.generate(id, 7);
        return id;
    }

private slots:
    void substituteMovesTheRowAndRecordsTheDayOff()
    {
        SeasonFixture f;
        const int g = group(f);
        const QDate d = f.dates(g)[3];
        const int out = f.entryOn(g, d, true);
        const int in = f.entryOn(g, d, false);
        const QVariant court = f.cell(out, d, "GRPCOURTID");
        const QVariant home = f.cell(out, d, "HOME");
        const int outPlayed = f.played(out), inPlayed = f.played(in);
        const QString before = f.dumpAll();

        SeasonOps ops(f.db(), g);
        const QVector<SubstituteCandidate> candidates = ops.substituteCandidates(out, d);
        QCOMPARE(candidates.size(), 4);   // the four who sit out
        for (int i = 1; i < candidates.size(); ++i) {
            const auto& a = candidates[i - 1];
            const auto& b = candidates[i];
            QVERIFY(a.played < b.played ||
                    (a.played == b.played && (!a.lastPlayed.isValid() || a.lastPlayed <= b.lastPlayed)));
        }
        QCOMPARE(ops.substitute(out, d, in), QString());
        QCOMPARE(f.cell(in, d, "GRPCOURTID"), court);
        QCOMPARE(f.cell(in, d, "HOME"), home);
        QCOMPARE(f.cell(in, d, "SLOTCODE").toInt(),
                 f.scalar("SELECT GRPSEQNUM FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {in}).toInt());
        QVERIFY(f.cell(out, d, "SCHEDULEID").isNull());
        QCOMPARE(f.played(out), outPlayed - 1);
        QCOMPARE(f.played(in), inPlayed + 1);
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM PLAYROFF WHERE PLAYERID = ? AND DATE = ?",
                          {f.playerOf(out), d.toString(Qt::ISODate)})
                     .toInt(),
                 1);
        QCOMPARE(ops.season().rowOf(in, d) != nullptr, true);   // the window reads it at once

        const QString after = f.dumpAll();
        QVERIFY(ops.undo());
        QCOMPARE(f.dumpAll(), before);
        QVERIFY(ops.redo());
        QCOMPARE(f.dumpAll(), after);
        QVERIFY(ops.undo());
        QVERIFY(!ops.undo());
        QCOMPARE(f.dumpAll(), before);
    }

    void substitutesThatCannotPlayAreRefused()
    {
        SeasonFixture f;
        const int g = group(f);
        const QVector<QDate> dates = f.dates(g);
        const QDate d = dates[2];
        const int out = f.entryOn(g, d, true);
        int placed = 0;
        for (int id : f.entryIds(g))
            if (id != out && !f.cell(id, d, "SCHEDULEID").isNull())
                placed = id;
        const int free = f.entryOn(g, d, false);
        f.playerOff(f.playerOf(free), d);
        const QString before = f.dumpAll();
        SeasonOps ops(f.db(), g);

        QVERIFY(ops.substitute(out, d, placed).contains("already plays"));
        QVERIFY(ops.substitute(out, d, free).contains("day off"));
        QVERIFY(ops.substitute(out, dates.last().addDays(7), free).contains("no date"));
        QVERIFY(ops.substitute(free, d, out).contains("does not play"));
        for (const auto& c : ops.substituteCandidates(out, d))
            QVERIFY(c.entry != free && c.entry != placed);
        QCOMPARE(f.dumpAll(), before);
        QVERIFY(!ops.canUndo());

        f.groupOff(g, d);
        QVERIFY(ops.substituteCandidates(out, d).isEmpty());
    }

    void nobodyFreeWhenEveryonePlays()
    {
        SeasonFixture f;
        const int g = group(f, 4, 4);
        const QDate d = f.dates(g).first();
        SeasonOps ops(f.db(), g);
        QVERIFY(ops.substituteCandidates(f.entryIds(g).first(), d).isEmpty());
        QVERIFY(SeasonOps::nobodyFree(d).contains("Nobody is free"));
    }

    void swapTradesDatesAndKeepsCounts()
    {
        SeasonFixture f;
        const int g = group(f);
        const auto [a, b, dA, dB] = f.swapPick(g);
        QVERIFY(a && b);
        const QVariant courtA = f.cell(a, dA, "GRPCOURTID");
        const int playedA = f.played(a), playedB = f.played(b);
        const QString before = f.dumpAll();
        SeasonOps ops(f.db(), g);
        QCOMPARE(ops.swap(a, dA, b, dB), QString());
        QCOMPARE(f.cell(b, dA, "GRPCOURTID"), courtA);
        QVERIFY(!f.cell(a, dB, "SCHEDULEID").isNull());
        QVERIFY(f.cell(a, dA, "SCHEDULEID").isNull());
        QCOMPARE(f.played(a), playedA);
        QCOMPARE(f.played(b), playedB);
        QVERIFY(ops.undo());
        QCOMPARE(f.dumpAll(), before);

        // Somebody placed on the other date would play twice.
        int twice = 0;
        for (int x : f.entryIds(g))
            if (x != a && !f.cell(x, dA, "SCHEDULEID").isNull() && !f.cell(x, dB, "SCHEDULEID").isNull())
                twice = x;
        if (twice) {
            QVERIFY(ops.swap(a, dA, twice, dB).contains("already plays"));
        }
        f.playerOff(f.playerOf(a), dB);
        QVERIFY(ops.swap(a, dA, b, dB).contains("day off"));
        QVERIFY(ops.swap(a, dA, b, dA).contains("two different"));
        QCOMPARE(f.dumpAll().section("\n--\n", 0, 1), before.section("\n--\n", 0, 1));
    }

    // Each change evens the ball duty again, from its first date on: here
    // every mark from that date is first piled onto one entry. Afterwards
    // each court and date has one mark, the dates before are as they were,
    // and entries that play equally often over the season have marks at
    // most one apart. Undo brings every mark back.
    void ballDutyEvenAfterEachChange_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* change : {"substitute", "swap", "re-plan"})
            QTest::newRow(change) << QString(change);
    }
    void ballDutyEvenAfterEachChange()
    {
        QFETCH(QString, change);
        SeasonFixture f;
        GroupShape shape;
        shape.entries = 11;
        shape.perSession = 8;
        shape.courts = 2;
        shape.type = 2;
        shape.weeks = 16;
        const int g = f.addGroup(shape);
        f.generate(g, 11);
        const QDate middle = f.dates(g)[8];
        const SeasonFixture::SwapPick pick = f.swapPick(g, 8);
        QVERIFY(pick.a);
        const QDate from = change == "swap" ? std::min(pick.dA, pick.dB) : middle;
        const int piledOn = f.entryIds(g).first();
        f.exec("UPDATE SCHEDULE SET HOME = (GRPPLAYRID = ?) WHERE DATE >= ?", {piledOn, from.toString(Qt::ISODate)});
        const QString before = f.dumpAll(), kept = f.rowsBefore(from);

        SeasonOps ops(f.db(), g);
        std::mt19937 random(3);
        if (change == "substitute")
            QCOMPARE(ops.substitute(f.entryOn(g, from, true), from, f.entryOn(g, from, false)), QString());
        else if (change == "swap")
            QCOMPARE(ops.swap(pick.a, pick.dA, pick.b, pick.dB), QString());
        else
            QCOMPARE(ops.replan(from, random, [](const QVector<ReplanCount>&) { return true; }), QString());

        QCOMPARE(f.rowsBefore(from), kept);
        const Season season = loadSeason(f.db(), g);
        for (const CourtSession& court : season.sessions)
            QCOMPARE(court.homeIds.size(), 1);
        const FairnessFigures figures = computeFairness(season);
        QVERIFY2(figures.ballSpread <= 1, qPrintable(QString("spread %1 among entries playing %2 dates")
                                                         .arg(figures.ballSpread)
                                                         .arg(figures.ballSpreadPlayed)));
        QVERIFY(ops.undo());
        QCOMPARE(f.dumpAll(), before);
    }

    // A player deleted from a generated season leaves exactly their places
    // empty, each found where it was; free entries fill them one by one
    // (a league's lone side gets the substitute as its opponent), the file
    // ends sound and counted, and undo takes each fill back.
    void deletedPlayersPlacesAreFoundAndFilled_data()
    {
        QTest::addColumn<int>("rtype");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("perSession");
        QTest::addColumn<int>("courts");
        QTest::newRow("doubles group, full courts") << 1 << 2 << 11 << 8 << 2;
        QTest::newRow("group, last court half") << 1 << 0 << 13 << 10 << 3;
        QTest::newRow("singles league with a bye") << 2 << 1 << 5 << 4 << 2;
        QTest::newRow("doubles league with a bye") << 2 << 2 << 5 << 4 << 2;
    }
    void deletedPlayersPlacesAreFoundAndFilled()
    {
        QFETCH(int, rtype);
        QFETCH(int, type);
        QFETCH(int, entries);
        QFETCH(int, perSession);
        QFETCH(int, courts);
        SeasonFixture f;
        GroupShape shape;
        shape.entries = entries;
        shape.perSession = perSession;
        shape.courts = courts;
        shape.type = type;
        shape.weeks = 8;
        const int g = f.addGroup(shape, rtype);
        if (rtype == 2 && type == 2)
            for (int entry : f.entryIds(g))
                f.exec("UPDATE GRPPLAYR SET SHARESLOTID = ? WHERE GROUPPLAYERID = ?",
                       {f.addPlayer("Mate", QString::number(entry)), entry});
        f.generate(g, 5);
        QVERIFY(emptyPlaces(loadSeason(f.db(), g)).isEmpty());

        const int gone = f.entryIds(g).first();
        QSet<QPair<QDate, int>> held;
        for (const SeasonRow& r : loadSeason(f.db(), g).rows)
            if (r.entry == gone)
                held.insert({r.date, r.court});
        QVERIFY(!held.isEmpty());
        Table players(f.db(), "PLAYERS.db");
        players.open();
        QVERIFY(players.locate("PLAYERID", f.playerOf(gone)));
        RosterDeletes(f.db()).deletePlayer(players, QDate(2000, 1, 1));   // every date is to come
        // Someone on each court still brings the balls.
        for (const CourtSession& court : loadSeason(f.db(), g).sessions)
            QCOMPARE(court.homeIds.size(), 1);

        SeasonOps ops(f.db(), g);
        const QVector<EmptyPlace> places = emptyPlaces(ops.season());
        QSet<QPair<QDate, int>> found;
        for (const EmptyPlace& p : places) {
            QCOMPARE(p.missing, 1);
            found.insert({p.date, p.court});
        }
        QCOMPARE(found, held);

        const QString afterDelete = f.dumpAll();
        for (const EmptyPlace& p : places) {
            const QVector<SubstituteCandidate> free = ops.placeCandidates(p.date);
            QVERIFY(!free.isEmpty());
            const int sub = free.first().entry;
            QCOMPARE(ops.fillPlace(p.date, p.court, sub), QString());
            QVERIFY(ops.fillPlace(p.date, p.court, free.last().entry).contains("No place is empty"));
            const SeasonRow* row = ops.season().rowOf(sub, p.date);
            QVERIFY(row && row->court == p.court);
            if (rtype == 2) {
                const SeasonMatch m = ops.season().matchOf(sub, p.date);
                QVERIFY(m.first && m.second == row);
                QVERIFY(m.first->scheduleId < m.second->scheduleId);
            }
        }
        QVERIFY(emptyPlaces(ops.season()).isEmpty());
        QVERIFY(f.countsMatchRows(g));
        QCOMPARE(f.doubledOn(g), 0);
        if (rtype == 1) {
            const GroupSetup setup = GroupSetup::read(f.db(), g);
            const QStringList problems = planProblems(setup, SchedulePlan::read(f.db(), setup));
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        }
        for (int i = 0; i < places.size(); ++i)
            QVERIFY(ops.undo());
        QCOMPARE(f.dumpAll(), afterDelete);
    }

    void changesMadeElsewhereAreNotOverwritten()
    {
        SeasonFixture f;
        const int g = group(f);
        const QDate d = f.dates(g)[1];
        const int out = f.entryOn(g, d, true);
        const int in = f.entryOn(g, d, false);
        SeasonOps mine(f.db(), g);
        SeasonOps other(f.db(), g);
        QCOMPARE(other.substitute(out, d, in), QString());
        const QString afterOther = f.dumpAll();
        // This window still shows `out` on the date.
        QVERIFY_THROWS_EXCEPTION(StaleRowError, mine.substitute(out, d, f.entryOn(g, d, false)));
        QCOMPARE(f.dumpAll(), afterOther);
        QVERIFY(mine.season().rowOf(in, d));   // read again after the refusal

        // Undo of a row that was changed since is refused as well.
        int other2 = 0;
        for (int id : f.entryIds(g))
            if (id != out && f.cell(id, d, "SCHEDULEID").isNull())
                other2 = id;
        QCOMPARE(mine.substitute(in, d, other2), QString());
        QVERIFY_THROWS_EXCEPTION(StaleRowError, other.undo());
        QVERIFY(mine.undo());
        QCOMPARE(f.dumpAll(), afterOther);
    }

    void resultsGiveWinsLossesAndRanks()
    {
        SeasonFixture f;
        const int g = f.league(4, 2, 1, 11);
        const QVector<QDate> dates = f.dates(g);
        SeasonOps ops(f.db(), g);
        const QString before = f.dumpAll();
        // Entry 1 wins every match it plays.
        const int first = f.entryIds(g).first();
        int won = 0;
        for (const QDate& d : dates)
            if (ops.season().rowOf(first, d)) {
                QCOMPARE(ops.setWinner(first, d, first), QString());
                ++won;
            }
        QCOMPARE(won, 3);
        const auto grp = [&](const char* column, int id) {
            return f.scalar(QString("SELECT %1 FROM GRPPLAYR WHERE GROUPPLAYERID = ?").arg(column), {id});
        };
        QCOMPARE(grp("LWIN", first).toInt(), 3);
        QCOMPARE(grp("LLOSSES", first).toInt(), 0);
        QCOMPARE(grp("LRANKING", first).toInt(), 1);
        for (int id : f.entryIds(g).mid(1)) {
            QCOMPARE(grp("LLOSSES", id).toInt(), 1);
            QCOMPARE(grp("LRANKING", id).toInt(), 2);   // level on 0-1, no head to head: shared
        }
        // The winner is kept on both rows of the match.
        QCOMPARE(f.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE WINNER = ?", {first}).toInt(), 6);

        const QDate d = dates.first();
        const int opponent = ops.season().matchOf(first, d).otherThan(first);
        QVERIFY(ops.setWinner(first, d, 9999).contains("one of the two"));
        QCOMPARE(ops.setWinner(first, d, opponent), QString());
        QCOMPARE(grp("LWIN", opponent).toInt(), 1);
        QCOMPARE(ops.setWinner(first, d, 0), QString());
        QVERIFY(
            f.scalar("SELECT WINNER FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE = ?", {first, d.toString(Qt::ISODate)})
                .isNull());
        // A match with a result keeps its players until the result is cleared.
        QCOMPARE(ops.setWinner(first, d, first), QString());
        const int idle = f.entryOn(g, dates[1], false);
        QVERIFY(idle == 0 || ops.substitute(first, d, idle).contains("result"));

        while (ops.canUndo())
            QVERIFY(ops.undo());
        QCOMPARE(f.dumpAll(), before);
    }

    void noResultForAByeOrAGroup()
    {
        SeasonFixture f;
        const int g = f.league(5, 2, 1, 11);
        const QDate d = f.dates(g).first();
        const int bye = f.entryOn(g, d, false);
        QVERIFY(bye);
        SeasonOps ops(f.db(), g);
        const QString before = f.dumpAll();
        QVERIFY(ops.setWinner(bye, d, bye).contains("does not play"));
        QCOMPARE(f.dumpAll(), before);

        const int grp = group(f);
        SeasonOps groupOps(f.db(), grp);
        const QDate gd = f.dates(grp).first();
        const int e = f.entryOn(grp, gd, true);
        QVERIFY(groupOps.setWinner(e, gd, e).contains("league"));
    }

    void standingsBreakTiesHeadToHead()
    {
        // Four entries; 1 and 2 both 2-1, 2 beat 1; 3 and 4 both 1-2 with no
        // match between them that counts (it has no result).
        Season s;
        s.recordKind = RecordKind::League;
        for (int i = 1; i <= 4; ++i)
            s.entries.append({i, i, {i, QString("E%1").arg(i), {}, {}}, {}, 0, {}, {}, {}});
        const QDate d(2030, 1, 1);
        qint64 id = 0;
        auto match = [&](int a, int b, int winner, int day) {
            s.rows.append({++id, a, d.addDays(day), b, false, winner, winner, 1, a, b});
            s.rows.append({++id, b, d.addDays(day), 0, false, winner, winner, 1, b, 0});
        };
        match(1, 2, 2, 0);
        match(1, 3, 1, 1);
        match(1, 4, 1, 2);
        match(2, 3, 3, 3);
        match(2, 4, 2, 4);
        match(3, 4, 0, 5);
        match(3, 4, 4, 6);   // a second meeting: 4 beats 3
        const QVector<StandingLine> lines = computeStandings(s);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].entry, 2);
        QCOMPARE(lines[0].rank, 1);
        QCOMPARE(lines[1].entry, 1);
        QCOMPARE(lines[1].rank, 2);
        QCOMPARE(lines[2].entry, 4);
        QCOMPARE(lines[2].rank, 3);
        QCOMPARE(lines[3].entry, 3);
        QCOMPARE(lines[3].wins, 1);
        QCOMPARE(lines[3].losses, 2);
        QCOMPARE(lines[3].rank, 4);

        // Three level in a circle: head to head cannot split them; they share.
        Season c;
        c.recordKind = RecordKind::League;
        for (int i = 1; i <= 3; ++i)
            c.entries.append({i, i, {i, QString("E%1").arg(i), {}, {}}, {}, 0, {}, {}, {}});
        s = c;
        id = 0;
        match(1, 2, 1, 0);
        match(2, 3, 2, 1);
        match(1, 3, 3, 2);
        for (const StandingLine& l : computeStandings(s))
            QCOMPARE(l.rank, 1);
    }

    // A re-plan in this window after another organiser's substitute, on a
    // file and on a server: refused with nothing written, then done on the
    // season as it is now.
    void replanAfterAnEditElsewhere_data() { TestLocation::addEngineRows(); }
    void replanAfterAnEditElsewhere()
    {
        QFETCH(Engine, engine);
        std::unique_ptr<TestLocation> place;
        VANTREL_OPEN_TEST_DATABASE(place, engine);
        SeasonFixture f(place->location());
        const int g = group(f);
        const QDate d = f.dates(g)[1];
        SeasonOps mine(f.db(), g);
        Database otherInstance(place->location());
        SeasonOps theirs(otherInstance, g);
        QCOMPARE(theirs.substitute(f.entryOn(g, d, true), d, f.entryOn(g, d, false)), QString());
        const QStringList afterTheirs = f.snapshot();
        std::mt19937 random(3);
        const auto keep = [](const QVector<ReplanCount>&) { return true; };
        QVERIFY_THROWS_EXCEPTION(StaleRowError, mine.replan(d, random, keep));
        QCOMPARE(f.snapshot(), afterTheirs);
        QCOMPARE(mine.replan(d, random, keep), QString());
        QVERIFY(f.countsMatchRows(g));
    }

    // The engine writes the same rows whichever engine stores them.
    void sameSeedSameRowsOnBothEngines()
    {
        QStringList rows[2];
        for (const Engine engine : {Engine::SQLite, Engine::PostgreSQL}) {
            std::unique_ptr<TestLocation> place;
            VANTREL_OPEN_TEST_DATABASE(place, engine);
            SeasonFixture f(place->location());
            f.league(6, 2, 5, 11);
            group(f, 10, 8);
            rows[engine == Engine::PostgreSQL] = f.snapshot();
        }
        QVERIFY(rows[0].size() > 50);
        QCOMPARE(rows[1], rows[0]);
    }
};

QTEST_MAIN(TestSeason)
#include "tst_season.moc"
