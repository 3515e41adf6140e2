#include "bench_mixing.h"
#include "acceptinghost.h"
#include "enginebench.h"
#include "data/datamodule.h"
#include "engine/fairness.h"
#include "engine/season.h"
#include "engine/seating.h"
#include "timing.h"
#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <algorithm>
#include <numeric>
#include <random>

namespace {

constexpr int Entries = 64;
constexpr int Courts = 8;
constexpr int Runs = 11;

// CPU time of this thread in nanoseconds: the figure stays true on a busy machine.
qint64 threadNanos()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int doublesGroup(Database& db)
{
    QSqlQuery q(db.connection());
    q.exec("INSERT INTO \"group\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, MONDAY, THURSDAY) "
           "VALUES ('Doubles', '2026-01-05', 52, 32, 2, 1, 1, 1)");
    const int group = q.lastInsertId().toInt();
    for (int i = 1; i <= Entries; ++i) {
        q.exec(QString("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('F%1', 'L%1')").arg(i));
        q.exec(QString("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, GRPSEQNUM) VALUES (%1, %2, %3)")
                   .arg(group)
                   .arg(q.lastInsertId().toInt())
                   .arg(i));
    }
    for (int c = 1; c <= Courts; ++c) {
        q.exec(QString("INSERT INTO COURTS (NAME) VALUES ('Court %1')").arg(c));
        q.exec(QString("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (%1, %2)")
                   .arg(q.lastInsertId().toInt())
                   .arg(group));
    }
    return group;
}

double timeRun(Database& db, int group, bool mix, unsigned seed)
{
    QSqlQuery(db.connection())
        .exec(QString("UPDATE \"group\" SET MIXPAIRS = %1 WHERE GROUPID = %2").arg(mix).arg(group));
    AcceptingHost host;
    const qint64 start = threadNanos();
    runEngine(db, group, host, seed);
    return (threadNanos() - start) / 1e6;
}

// Microseconds of CPU per date for seating 40 players on 10 courts, over a
// season of 52 dates whose history grows as it goes.
double seatingMicrosPerDate()
{
    CourtSeating seating;
    QVector<int> players(40);
    std::iota(players.begin(), players.end(), 1);
    const QVector<int> courts = CourtSeating::courtsOfSeats(40, 4, 10);
    std::mt19937 shuffle(7);
    qint64 ns = 0;
    constexpr int Dates = 52;
    for (int d = 0; d < Dates; ++d) {
        std::shuffle(players.begin(), players.end(), shuffle);
        const qint64 start = threadNanos();
        const QVector<int> seated = seating.seat(players, courts);
        ns += threadNanos() - start;
        seating.record(seated, courts);
    }
    return ns / 1e3 / Dates;
}

// How evenly the last run met partners and opponents, as the fairness report counts it.
void printMeetings(Database& db, int group)
{
    const FairnessFigures f = computeFairness(loadSeason(db, group));
    const PairSpread partners = pairSpread(f, &PairFairness::partners);
    const PairSpread opponents = pairSpread(f, &PairFairness::opponents);
    const PairSpread together = pairSpread(f, &PairFairness::together);
    std::printf("  with mixing, most / mean: partners %d / %.2f = %.2f, opponents %d / %.2f = %.2f, "
                "pairs never met %d\n",
                partners.most, partners.mean, partners.mostOverMean(), opponents.most, opponents.mean,
                opponents.mostOverMean(), together.never);
}

}   // namespace

void benchMixing()
{
    QTemporaryDir work;
    Tdmglobal dm(work.path());
    const int group = doublesGroup(dm.database());
    QVector<double> off, on;
    for (int i = 0; i < Runs; ++i) {
        off << timeRun(dm.database(), group, false, 2000 + i);
        on << timeRun(dm.database(), group, true, 2000 + i);
    }
    const Timings a = summarize(off), b = summarize(on);
    std::printf("Doubles group with and without mixing: %d entries, 32 a session, %d courts, 52 weeks on 2 days "
                "(%d runs each, in turn; CPU time):\n",
                Entries, Courts, Runs);
    std::printf("  mixing off                median %7.1f ms  best %7.1f ms\n", a.median, a.best);
    std::printf("  mixing on                 median %7.1f ms  best %7.1f ms  (%+.1f%%, aim within 10%%)\n", b.median,
                b.best, (b.median / a.median - 1) * 100);
    printMeetings(dm.database(), group);
    std::printf("  seating 40 players        %7.1f us a date\n", seatingMicrosPerDate());
}
