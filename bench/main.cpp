// vantrel-bench: how long Vantrel takes from process start to the frame on
// screen with its database open, on a fresh database file and on an existing
// one; then the report and scheduling figures where those benchmarks exist.
// bench/README.md says what each figure means.
//
// Each start-up is a new process (this program run with --startup), so the
// figure includes loading the program and its libraries, as a user sees it.
#include "app/appsetup.h"
#include "app/mainwindow.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "timing.h"
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#if __has_include("bench_reports.h")
#include "bench_reports.h"
#define VANTREL_BENCH_REPORTS 1
#endif
#if __has_include("bench_league.h")
#include "bench_league.h"
#define VANTREL_BENCH_LEAGUE 1
#endif
#if __has_include("bench_views.h")
#include "bench_views.h"
#define VANTREL_BENCH_VIEWS 1
#endif
#if __has_include("bench_exports.h")
#include "bench_exports.h"
#define VANTREL_BENCH_EXPORTS 1
#endif
#if __has_include("bench_publish.h")
#include "bench_publish.h"
#define VANTREL_BENCH_PUBLISH 1
#endif
#if __has_include("bench_mixing.h")
#include "bench_mixing.h"
#define VANTREL_BENCH_MIXING 1
#endif
#if __has_include("bench_scheduling.h")
#include "bench_scheduling.h"
#define VANTREL_BENCH_SCHEDULING 1
#endif
#if __has_include("bench_server.h")
#include "bench_server.h"
#define VANTREL_BENCH_SERVER 1
#endif
#if __has_include("bench_season.h")
#include "bench_season.h"
#define VANTREL_BENCH_SEASON 1
#endif

namespace {

constexpr int Runs = 7;
constexpr double TargetMs = 300.0;

void useOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The child: start the program as main() does, say "shown" once the frame
// is exposed, and leave.
int runStartup(int argc, char* argv[], const QString& databaseDir, const QString& settingsDir)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    configureApplication();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir);

    Tdmglobal dm(databaseDir);   // outlives the frame, as in the program
    Tfrmmain frame;
    registerChildWindows(frame);
    connectDataModule(frame, dm);
    frame.showMaximized();
    while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
    std::printf("shown %.2f\n", sinceMain.nsecsElapsed() / 1e6);
    std::fflush(stdout);
    return 0;
}

struct Sample {
    double fromSpawn = 0;   // measured by the parent: spawn to "shown"
    double fromMain = 0;    // measured by the child: main() to "shown"
};

bool spawnStartup(const QString& databaseDir, const QString& settingsDir, Sample& sample)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {"--startup", databaseDir, settingsDir});
    QByteArray line;
    while (!line.contains('\n')) {
        if (!child.waitForReadyRead(30000)) {
            std::fprintf(stderr, "%s", child.readAllStandardError().constData());
            return false;
        }
        line += child.readAllStandardOutput();
    }
    sample.fromSpawn = clock.nsecsElapsed() / 1e6;
    child.waitForFinished(30000);
    const QList<QByteArray> words = line.trimmed().split(' ');
    if (words.size() != 2 || words[0] != "shown")
        return false;
    sample.fromMain = words[1].toDouble();
    return true;
}

void report(const char* label, const QVector<Sample>& samples)
{
    QVector<double> spawn, inMain;
    for (const Sample& s : samples) {
        spawn << s.fromSpawn;
        inMain << s.fromMain;
    }
    const double m = median(spawn);
    std::printf("%-28s median %7.1f ms  best %7.1f ms  (in main: median %6.1f ms)  %s\n", label, m,
                *std::min_element(spawn.begin(), spawn.end()), median(inMain),
                m < TargetMs ? "under 300 ms" : "OVER 300 ms");
}

int runStartupBenchmark()
{
    QTemporaryDir work;
    const QString settingsDir = work.filePath("settings");
    QDir().mkpath(settingsDir);

    QVector<Sample> fresh, existing;
    for (int i = 0; i < Runs; ++i) {
        const QString dir = work.filePath(QString("fresh%1").arg(i));
        QDir().mkpath(dir);
        Sample s;
        if (!spawnStartup(dir, settingsDir, s)) {
            std::fprintf(stderr, "start-up on a fresh database failed\n");
            return 1;
        }
        fresh << s;
    }
    const QString kept = work.filePath("fresh0");   // holds the file the first run created
    for (int i = 0; i < Runs; ++i) {
        Sample s;
        if (!spawnStartup(kept, settingsDir, s)) {
            std::fprintf(stderr, "start-up on an existing database failed\n");
            return 1;
        }
        existing << s;
    }
    std::printf("Start-up, process start to frame shown with the database open (%d runs each, platform %s):\n", Runs,
                qEnvironmentVariable("QT_QPA_PLATFORM", "default").toLocal8Bit().constData());
    report("fresh database file", fresh);
    report("existing database file", existing);
    return 0;
}

}   // namespace

int main(int argc, char* argv[])
{
    useOffscreenWithoutDisplay();
    if (argc == 4 && std::strcmp(argv[1], "--startup") == 0)
        return runStartup(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QApplication app(argc, argv);
    // Every section, or the ones named: "views" alone, or "--only
    // scheduling,league,season" to leave out the slow start-up and report ones.
    const QStringList known = {"startup", "reports", "scheduling", "mixing", "league",
                               "views",   "exports", "publish",    "season", "server"};
    QStringList only;
    if (argc == 2 && argv[1][0] != '-')
        only << QString::fromLocal8Bit(argv[1]);
    else if (argc == 3 && std::strcmp(argv[1], "--only") == 0)
        only = QString::fromLocal8Bit(argv[2]).split(',', Qt::SkipEmptyParts);
    else if (argc != 1)
        only << QString();
    for (const QString& name : only) {
        if (!known.contains(name)) {
            std::fprintf(stderr, "usage: vantrel-bench [SECTION | --only SECTION,SECTION...]\nsections: %s\n",
                         qPrintable(known.join(", ")));
            return 2;
        }
    }
    auto wanted = [&](const char* name) { return only.isEmpty() || only.contains(QLatin1String(name)); };
    auto section = [](void (*run)()) {
        std::printf("\n");
        std::fflush(stdout);
        run();
    };
    int status = wanted("startup") ? runStartupBenchmark() : 0;
#ifdef VANTREL_BENCH_REPORTS
    if (wanted("reports"))
        section(benchReports);
#endif
#ifdef VANTREL_BENCH_SCHEDULING
    if (wanted("scheduling"))
        section(benchScheduling);
#endif
#ifdef VANTREL_BENCH_MIXING
    if (wanted("mixing"))
        section(benchMixing);
#endif
#ifdef VANTREL_BENCH_LEAGUE
    if (wanted("league"))
        section(benchLeague);
#endif
#ifdef VANTREL_BENCH_VIEWS
    if (wanted("views"))
        section(benchViews);
#endif
#ifdef VANTREL_BENCH_EXPORTS
    if (wanted("exports"))
        section(benchExports);
#endif
#ifdef VANTREL_BENCH_PUBLISH
    if (wanted("publish"))
        section(benchPublish);
#endif
#ifdef VANTREL_BENCH_SEASON
    if (wanted("season"))
        section(benchSeason);
#endif
#ifdef VANTREL_BENCH_SERVER
    if (wanted("server"))
        section(benchServer);
#endif
    return status;
}
