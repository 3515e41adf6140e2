#include "bench_publish.h"
#include "acceptinghost.h"
#include "enginebench.h"
#include "data/datamodule.h"
#include "export/publish.h"
#include "timing.h"
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct PublishShape {
    EngineShape group;
    int runs;
    double targetMs;
};

const PublishShape shapes[] = {
    {{"64 players, 32 a session, 8 doubles courts, 52 wk x 2", 1, 64, 32, 8, 2, 52, {2, 5}, 0}, 7, 300},
    {{"1000 players, 500 a session, 125 doubles courts, 52 wk x 5", 1, 1000, 500, 125, 2, 52, {2, 3, 4, 5, 6}, 0},
     5,
     3000},
};

struct Run {
    double wall = 0, cpu = 0;
    PublishOutcome outcome;
};

Run publishOnce(Database& db, int group, const QString& folder)
{
    PublishRequest request;
    request.groupIds = {group};
    request.folder = folder;
    request.baseUrl = QStringLiteral("https://club.example.org/season");
    QElapsedTimer clock;
    clock.start();
    const double cpu = processCpuMs();
    Run r;
    r.outcome = publishSeasons(db, request);
    r.wall = clock.nsecsElapsed() / 1e6;
    r.cpu = processCpuMs() - cpu;
    return r;
}

void report(const char* label, const QVector<Run>& runs, double targetMs)
{
    QVector<double> wall, cpu;
    for (const Run& r : runs) {
        wall << r.wall;
        cpu << r.cpu;
    }
    const Timings w = summarize(wall), c = summarize(cpu);
    std::printf("  %-28s wall median %7.1f ms  best %7.1f ms  first %7.1f ms   processor median %7.1f ms  %s\n", label,
                w.median, w.best, w.first, c.median, w.median < targetMs ? "within target" : "OVER target (wall)");
}

qint64 folderBytes(const QString& folder)
{
    qint64 bytes = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
        bytes += f.size();
    return bytes;
}

}   // namespace

void benchPublish()
{
    std::printf("Publishing a group: its page, and per player a page and a calendar feed:\n");
    for (const PublishShape& shape : shapes) {
        QTemporaryDir dir;
        Tdmglobal dm(dir.path());
        Database& db = dm.database();
        const int group = createShape(db, shape.group);
        AcceptingHost host;
        runEngine(db, group, host, 2027);

        // Each run into a folder of its own (the first also makes the
        // players' links), then again over the last one, as a weekly
        // publish after a change finds the folder.
        QVector<Run> fresh, again;
        for (int run = 0; run < shape.runs; ++run)
            fresh << publishOnce(db, group, dir.filePath(QString("fresh%1").arg(run)));
        const QString last = dir.filePath(QString("fresh%1").arg(shape.runs - 1));
        for (int run = 0; run < shape.runs; ++run)
            again << publishOnce(db, group, last);
        for (const Run& r : fresh + again)
            if (!r.outcome.error.isEmpty()) {
                std::printf("  %s: FAILED: %s\n", shape.group.label, qPrintable(r.outcome.error));
                return;
            }
        std::printf("%s: %d player pages, %d files, %.1f MB (%d runs, target %.0f ms)\n", shape.group.label,
                    fresh.last().outcome.players, int(QDir(last).entryList(QDir::Files).size()),
                    folderBytes(last) / 1e6, shape.runs, shape.targetMs);
        report("into an empty folder", fresh, shape.targetMs);
        report("again over the last publish", again, shape.targetMs);
        std::fflush(stdout);
    }
}
