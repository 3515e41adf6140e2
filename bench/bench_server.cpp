#include "bench_server.h"
#include "acceptinghost.h"
#include "data/datamodule.h"
#include "data/dberror.h"
#include "data/query.h"
#include "enginebench.h"
#include "timing.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

namespace {

constexpr int Runs = 5;
// A run on the server may take this many times the run on a file.
constexpr double SocketAim = 3.0;
const EngineShape ServerGroup = {"240, 120 a session, 60 courts, 26 wk x 2", 1, 240, 120, 60, 1, 26, {2, 5}, 0};

struct Connection {
    const char* label;
    const char* variable;   // where the URI comes from; null for the file
};

// What the benchmark added, so that the server's database is as it found it.
void deleteGroup(Database& db, int groupId)
{
    const char* const statements[] = {
        "DELETE FROM \"SCHEDULE.db\" WHERE GRPPLAYRID IN (SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = "
        ":g)",
        "DELETE FROM \"PLAYERS.db\" WHERE PLAYERID IN (SELECT PLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = :g)",
        "DELETE FROM \"GRPPLAYR.db\" WHERE GROUPID = :g",
        "DELETE FROM \"COURTS.db\" WHERE COURTID IN (SELECT COURTID FROM \"COURTSLT.db\" WHERE GROUPID = :g)",
        "DELETE FROM \"COURTSLT.db\" WHERE GROUPID = :g",
        "DELETE FROM \"group.DB\" WHERE GROUPID = :g"};
    db.runInTransaction([&] {
        for (const char* sql : statements) {
            Query q(db, sql);
            q.setInteger("g", groupId);
            q.execSql();
        }
    });
}

// A run that stops early says why in a warning; the benchmark prints it.
class WarningHost : public AcceptingHost {
public:
    void warn(const QString& text) override
    {
        AcceptingHost::warn(text);
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
};

struct Outcome {
    Timings wall;
    double cpuMs = 0;
    QString check;
};

Outcome timeGeneration(const QString& location)
{
    Tdmglobal dm(location);   // the engine reaches the data module as in the program
    Database& db = dm.database();
    const int group = createShape(db, ServerGroup);
    QVector<double> wall, cpu;
    for (int i = 0; i < Runs; ++i) {
        WarningHost host;
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = processCpuMs();
        runEngine(db, group, host, 1000 + i);
        wall << clock.nsecsElapsed() / 1e6;
        cpu << processCpuMs() - cpuStart;
    }
    Outcome o{summarize(wall), median(cpu), checkSchedule(db, group, ServerGroup)};
    deleteGroup(db, group);
    return o;
}

}   // namespace

void benchServer()
{
    std::printf("Generation on a server: %s, median of %d runs; wall / processor time of this process in ms\n",
                ServerGroup.label, Runs);
    QTemporaryDir file;
    const Connection connections[] = {{"SQLite file", nullptr},
                                      {"PostgreSQL, Unix socket", "VANTREL_BENCH_PG_SOCKET"},
                                      {"PostgreSQL, TCP 127.0.0.1", "VANTREL_BENCH_PG_TCP"}};
    std::optional<double> fileMs;
    for (const Connection& c : connections) {
        const QString location = c.variable ? qEnvironmentVariable(c.variable) : file.path();
        if (location.isEmpty()) {
            std::printf("  %-27s left out: set %s to the URI of a database for the benchmark\n", c.label, c.variable);
            continue;
        }
        try {
            const Outcome o = timeGeneration(location);
            QString versus;
            if (!fileMs)
                fileMs = o.wall.median;
            else
                versus = QString("%1x the file").arg(o.wall.median / *fileMs, 0, 'f', 2);
            if (c.variable && QLatin1String(c.variable).endsWith(QLatin1String("SOCKET")))
                versus += o.wall.median <= SocketAim * *fileMs ? QString(", within %1x").arg(SocketAim)
                                                               : QString(", OVER %1x").arg(SocketAim);
            std::printf("  %-27s %8.1f /%8.1f  best %8.1f  %s%s%s\n", c.label, o.wall.median, o.cpuMs, o.wall.best,
                        qPrintable(versus), versus.isEmpty() ? "" : ", ",
                        o.check.isEmpty() ? "schedule sound" : qPrintable("SCHEDULE WRONG: " + o.check));
        } catch (const DbError& e) {
            std::printf("  %-27s failed: %s\n", c.label, qPrintable(e.message().simplified()));
        }
        std::fflush(stdout);
    }
}
