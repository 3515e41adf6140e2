#include "bench_league.h"
#include "data/database.h"
#include "data/dmuglobal.h"
#include "data/query.h"
#include "scheduling/groupdata.h"
#include "scheduling/league.h"
#include "scheduling/runstate.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

struct LeagueShape {
    const char* label;
    int entries, courts, rounds, matchType;
};

int insert(Database& db, const QString& sql, const QVariantList& values, const QStringList& names)
{
    Query q(db, sql);
    q.prepare();
    for (int i = 0; i < names.size(); ++i)
        q.setParam(names[i], values[i]);
    q.execSql();
    return q.lastInsertId().toInt();
}

// A league on Mondays and Thursdays from 4 January 2027.
int createLeague(Database& db, const LeagueShape& s)
{
    const int group = insert(db, "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE,"
                                 " MONDAY, THURSDAY) VALUES (:n, :d, :r, :num, :t, 2, 1, 1)",
                             {"Bench league", "2027-01-04", s.rounds, 2 * s.courts, s.matchType},
                             {"n", "d", "r", "num", "t"});
    for (int i = 0; i < s.entries; ++i) {
        const QString ins = "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:f, :l)";
        const int p = insert(db, ins, {"First", QString("Player%1").arg(2 * i)}, {"f", "l"});
        const QVariant partner = s.matchType == 2
            ? QVariant(insert(db, ins, {"First", QString("Player%1").arg(2 * i + 1)}, {"f", "l"}))
            : QVariant();
        insert(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, SHARESLOTID, GRPSEQNUM) VALUES (:g, :p, :s, :n)",
               {group, p, partner, i + 1}, {"g", "p", "s", "n"});
    }
    for (int i = 0; i < s.courts; ++i) {
        const int c = insert(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)", {QString("Court %1").arg(i + 1)}, {"n"});
        insert(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)", {c, group}, {"c", "g"});
    }
    return group;
}

struct Figures {
    double ms = 0;
    int dates = 0;
    double sessionTotal = 0;
    int matches = 0;
    bool complete = false;
};

// The league side of a run: pairing state, build, then per date the pick,
// the priorities (played halved, sat out raised by 100000) and the weights.
Figures runLeague(Database& db, const LeagueShape& s)
{
    const int group = createLeague(db, s);
    QElapsedTimer clock;
    clock.start();
    GroupDatasets ds(db);
    ds.open();
    ds.tbgroup.locate("GROUPID", group);
    RunState state;
    LeaguePairing pairing(ds, state, db);

    const int p = ds.tbplayers.recordCount();
    state.entryCount = p;
    state.playersPerSession = 2 * s.courts;
    state.byeCount = p - state.playersPerSession;
    state.roundsWanted = s.rounds;
    state.byeFlag = state.byeCount == 1;
    for (int row = 0; row < p; ++row)
        state.byeOrder.append(ds.tbplayers.valueAt(row, "GROUPPLAYERID").toInt());
    if (state.byeFlag)
        std::reverse(state.byeOrder.begin(), state.byeOrder.end());
    pairing.BuildMatches();

    Query reset(db, "UPDATE \"GRPPLAYR.db\" SET PRIORITY = 5000, BBPRIORITY = 5000, SESPLAYED = 0 WHERE groupid = :groupid");
    reset.setInteger("groupid", group);
    reset.prepare();
    reset.execSql();
    Query priorities(db, "UPDATE \"GRPPLAYR.db\" SET PRIORITY = CASE WHEN EXISTS (SELECT 1 FROM \"SCHEDULE.db\""
                         " WHERE GRPPLAYRID = GROUPPLAYERID AND \"DATE\" = :date) THEN PRIORITY * 0.5"
                         " ELSE PRIORITY + 100000 END WHERE GROUPID = :groupid");
    priorities.prepare();

    Figures f;
    f.sessionTotal = (p - 1) * (p * 0.5) * s.rounds / s.courts;
    QDate date(2027, 1, 4);
    const int cap = int(f.sessionTotal) * 3 + 100;
    while ((f.dates < f.sessionTotal || !pairing.AllRoundsPlayed()) && f.dates < cap) {
        pairing.ScheduleLeagueDate(date);
        priorities.setDate("date", date);
        priorities.setInteger("groupid", group);
        priorities.execSql();
        pairing.WeighMatches();
        ++f.dates;
        date = date.addDays(date.dayOfWeek() == 1 ? 3 : 4);
    }
    f.ms = clock.nsecsElapsed() / 1e6;
    f.complete = pairing.AllRoundsPlayed();
    Query count(db, "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\" WHERE VSGRPPLAYRID IS NOT NULL");
    count.prepare();
    count.open();
    f.matches = count.asInt("N");
    return f;
}

} // namespace

void benchLeague()
{
    const LeagueShape shapes[] = {{"singles, 24 entries, 6 courts, 3 rounds", 24, 6, 3, 1},
                                  {"doubles, 12 teams, 3 courts, 2 rounds", 12, 3, 2, 2}};
    std::printf("League scheduling, pairing steps of a run end to end (fresh database each):\n");
    for (const LeagueShape& s : shapes) {
        QTemporaryDir dir;
        Figures f;
        {
            Tdmglobal dm(dir.path());
            f = runLeague(dm.database(), s);
        }
        std::printf("%-42s %8.1f ms  %d dates (T = %.1f), %d matches, %s  %s\n", s.label, f.ms, f.dates,
                    f.sessionTotal, f.matches, f.complete ? "every round complete" : "ROUNDS INCOMPLETE",
                    f.ms < 1000 ? "under 1 s" : "OVER 1 s");
        std::fflush(stdout);
    }
}
