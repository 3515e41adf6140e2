#include "bench_exports.h"
#include "acceptinghost.h"
#include "enginebench.h"
#include "data/datamodule.h"
#include "data/query.h"
#include "export/exports.h"
#include "timing.h"
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int Entries = 64;
constexpr int Courts = 8;
constexpr int Runs = 7;
constexpr double TargetMs = 200.0;

int exec(Database& db, const QString& sql)
{
    Query q(db, sql);
    q.execSql();
    return q.lastInsertId().toInt();
}

int generatedGroup(Tdmglobal& dm)
{
    Database& db = dm.database();
    const int group = exec(db, "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, BBON, "
                               "MONDAY, THURSDAY, STIME, ETIME, NOTES) VALUES ('Bench Doubles', '2027-01-04', 52, 32, "
                               "2, 1, 1, 1, 1, '18:00:00', '19:30:00', 'Courts 5-8 are indoors.')");
    for (int i = 1; i <= Entries; ++i) {
        const int player = exec(db, QString("INSERT INTO \"PLAYERS.db\" (FNAME, LNAME, PHONE1) VALUES ('First%1', "
                                            "'Last%1', '(555)123-4567')")
                                        .arg(i));
        exec(db, QString("INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM) VALUES (%1, %2, %3)")
                     .arg(group)
                     .arg(player)
                     .arg(i));
    }
    for (int c = 1; c <= Courts; ++c) {
        const int court = exec(db, QString("INSERT INTO \"COURTS.db\" (NAME) VALUES ('Court %1')").arg(c));
        exec(db, QString("INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (%1, %2)").arg(court).arg(group));
    }
    AcceptingHost host;
    runEngine(db, group, host, 2027);
    return group;
}

// Wall-clock and processor time of one piece of work, in ms. The processor
// time tells the program's own cost on a machine busy with other work.
struct Cost {
    double wall = 0, cpu = 0;
};

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Cost timed(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    const double cpu = cpuMs();
    work();
    return Cost{clock.nsecsElapsed() / 1e6, cpuMs() - cpu};
}

void print(const QString& label, const QVector<Cost>& costs, bool checked)
{
    QVector<double> wall, cpu;
    for (const Cost& c : costs) {
        wall << c.wall;
        cpu << c.cpu;
    }
    const Timings w = summarize(wall), c = summarize(cpu);
    std::printf("%-40s wall median %6.1f ms  best %6.1f ms   processor median %6.1f ms  %s\n", qPrintable(label),
                w.median, w.best, c.median,
                checked ? (w.median < TargetMs ? "under 200 ms" : "OVER 200 ms (wall)") : "");
}

// One export: the season read from the database, the CSV file and one
// calendar per player written into `folder`.
Cost exportOnce(Tdmglobal& dm, int group, const QString& folder, int* files)
{
    return timed([&] {
        const Season s = loadSeason(dm.database(), group);
        Exports::writeCsv(s, 0, QDir(folder).filePath("season.csv"));
        QStringList written;
        Exports::writeEveryCalendar(dm.database(), s, folder, &written);
        *files = int(written.size());
    });
}

}   // namespace

void benchExports()
{
    QTemporaryDir dir;
    Tdmglobal dm(dir.path());
    const int group = generatedGroup(dm);
    const Season season = loadSeason(dm.database(), group);
    int rows = 0;
    for (const CourtSession& cs : season.sessions)
        rows += int(cs.entryIds.size());

    QVector<Cost> fresh, again;
    int files = 0;
    for (int run = 0; run < Runs; ++run) {
        const QString folder = dir.filePath(QString("run%1").arg(run));
        QDir().mkpath(folder);
        fresh << exportOnce(dm, group, folder, &files);
    }
    // A weekly re-export into the same folder: every calendar is read back
    // for its sequence numbers and cancellations first.
    for (int run = 0; run < Runs; ++run)
        again << exportOnce(dm, group, dir.filePath("run0"), &files);

    std::printf("Export of a group of %d entries, %d dates, %d schedule rows, as CSV and %d player calendars "
                "(%d runs):\n",
                Entries, int(season.dates.size()), rows, files, Runs);
    print("into an empty folder", fresh, true);
    print("again over the last export", again, true);
}
