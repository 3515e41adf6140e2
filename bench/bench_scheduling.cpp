#include "bench_scheduling.h"
#include "data/database.h"
#include "data/dmuglobal.h"
#include "scheduling/engine.h"
#include "scheduling/groupdata.h"
#include "scheduling/runstate.h"
#include "scheduling/schedulehost.h"
#include "timing.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLibrary>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Entries = 64;
constexpr int PerSession = 32;
constexpr int Courts = 8;
constexpr int Weeks = 52;
constexpr int Runs = 5;

// Accepts every question and the reconciliation; lets the event loop run.
class AcceptingHost : public ScheduleHost {
public:
    int questions = 0;
    Answer ask(const QString&) override { ++questions; return Yes; }
    void warn(const QString&) override { ++questions; }
    void statusMessage(const QString&) override {}
    void setBusy(bool) override {}
    void suspendUpdates(bool) override {}
    void yield() override { QCoreApplication::processEvents(); }
    bool showReconcile(const QVector<ReconcileLine>&, int, double) override { return true; }
};

} // namespace

int createGroup(Database& db)
{
    QSqlQuery q(db.connection());
    q.exec("INSERT INTO \"group\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, MONDAY, THURSDAY) "
           "VALUES ('Bench', '2026-01-05', 52, 32, 0, 1, 1, 1)");
    const int group = q.lastInsertId().toInt();
    for (int i = 1; i <= Entries; ++i) {
        q.prepare("INSERT INTO PLAYERS (FNAME, LNAME) VALUES (?, ?)");
        q.addBindValue(QString("First%1").arg(i));
        q.addBindValue(QString("Last%1").arg(i));
        q.exec();
        const int player = q.lastInsertId().toInt();
        q.prepare("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, GRPSEQNUM) VALUES (?, ?, ?)");
        q.addBindValue(group);
        q.addBindValue(player);
        q.addBindValue(i);
        q.exec();
    }
    for (int c = 1; c <= Courts; ++c) {
        q.exec(QString("INSERT INTO COURTS (NAME) VALUES ('Court %1')").arg(c));
        const int court = q.lastInsertId().toInt();
        q.exec(QString("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (%1, %2)").arg(court).arg(group));
    }
    return group;
}

namespace {

struct RunFigures {
    double ms = 0;
    qint64 writes = 0;
    bool even = false;
};

RunFigures timeGeneration(Database& db, int group, unsigned seed)
{
    GroupDatasets ds(db);
    ds.open();
    ds.tbgroup.locate("GROUPID", group);
    AcceptingHost host;
    std::mt19937 rng(seed);
    ScheduleEngine engine(ds, host, rng);
    QElapsedTimer clock;
    clock.start();
    engine.GenerateSchedule();
    RunFigures r;
    r.ms = clock.nsecsElapsed() / 1e6;
    r.writes = engine.writeCount();
    QSqlQuery q(db.connection());
    q.exec(QString("SELECT MIN(SESPLAYED), MAX(SESPLAYED) FROM GRPPLAYR WHERE GROUPID = %1").arg(group));
    r.even = q.next() && q.value(0).toInt() == Weeks && q.value(1).toInt() == Weeks;
    return r;
}

// The sqlite3 library itself, loaded from the shared library the SQL driver uses.
struct Sqlite {
    using Open = int (*)(const char*, void**, int, const char*);
    using Exec = int (*)(void*, const char*, void*, void*, char**);
    using Prepare = int (*)(void*, const char*, int, void**, const char**);
    using BindInt = int (*)(void*, int, int);
    using BindText = int (*)(void*, int, const char*, int, void (*)(void*));
    using Step = int (*)(void*);
    using Reset = int (*)(void*);
    using Finalize = int (*)(void*);
    using Close = int (*)(void*);
    QLibrary lib{"sqlite3", 0};
    Open open = nullptr;
    Exec exec = nullptr;
    Prepare prepare = nullptr;
    BindInt bindInt = nullptr;
    BindText bindText = nullptr;
    Step step = nullptr;
    Reset reset = nullptr;
    Finalize finalize = nullptr;
    Close close = nullptr;

    bool load()
    {
        open = reinterpret_cast<Open>(lib.resolve("sqlite3_open_v2"));
        exec = reinterpret_cast<Exec>(lib.resolve("sqlite3_exec"));
        prepare = reinterpret_cast<Prepare>(lib.resolve("sqlite3_prepare_v2"));
        bindInt = reinterpret_cast<BindInt>(lib.resolve("sqlite3_bind_int"));
        bindText = reinterpret_cast<BindText>(lib.resolve("sqlite3_bind_text"));
        step = reinterpret_cast<Step>(lib.resolve("sqlite3_step"));
        reset = reinterpret_cast<Reset>(lib.resolve("sqlite3_reset"));
        finalize = reinterpret_cast<Finalize>(lib.resolve("sqlite3_finalize"));
        close = reinterpret_cast<Close>(lib.resolve("sqlite3_close"));
        return open && exec && prepare && bindInt && bindText && step && reset && finalize && close;
    }
};

// `writes` single-row INSERTs, each its own transaction, on a WAL file with
// the program's settings; -1 when the library cannot be loaded.
double timeSqliteFloor(const QString& dir, qint64 writes)
{
    Sqlite s;
    if (!s.load())
        return -1;
    const QByteArray path = QDir(dir).filePath("floor.db").toLocal8Bit();
    void* db = nullptr;
    if (s.open(path.constData(), &db, 0x02 | 0x04, nullptr) != 0)   // READWRITE | CREATE
        return -1;
    s.exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
               "CREATE TABLE SCHEDULE (SCHEDULEID INTEGER PRIMARY KEY AUTOINCREMENT, GRPPLAYRID INTEGER, "
               "DATE TEXT, VSGRPPLAYRID INTEGER, HOME INTEGER DEFAULT 0, WINNER INTEGER, GRPCOURTID INTEGER, "
               "SLOTCODE INTEGER, SLOTCODE2 INTEGER);"
               "CREATE INDEX BYENTRY ON SCHEDULE (GRPPLAYRID, DATE);"
               "CREATE INDEX BYDATE ON SCHEDULE (DATE, GRPCOURTID);",
           nullptr, nullptr, nullptr);
    void* stmt = nullptr;
    s.prepare(db, "INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, SLOTCODE) VALUES (?, ?, ?, ?)", -1, &stmt,
              nullptr);
    QElapsedTimer clock;
    clock.start();
    for (qint64 i = 0; i < writes; ++i) {
        const QByteArray date = QDate(2026, 1, 5).addDays(i / 32).toString(Qt::ISODate).toLatin1();
        s.bindInt(stmt, 1, int(i % 64) + 1);
        s.bindText(stmt, 2, date.constData(), -1, reinterpret_cast<void (*)(void*)>(-1));   // SQLITE_TRANSIENT
        s.bindInt(stmt, 3, int(i % 8) + 1);
        s.bindInt(stmt, 4, int(i % 64) + 1);
        s.step(stmt);
        s.reset(stmt);
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    s.finalize(stmt);
    s.close(db);
    return ms;
}

} // namespace

void benchScheduling()
{
    QTemporaryDir work;
    const QString dataDir = work.filePath("data");
    QDir().mkpath(dataDir);
    Tdmglobal dm(dataDir);
    int printed = 0;
    dm.printScheduleHandler = [&](int) { ++printed; };
    const int group = createGroup(dm.database());

    QVector<double> runs, floors;
    qint64 writes = 0;
    bool even = true;
    for (int i = 0; i < Runs; ++i) {
        runState() = RunState();
        const RunFigures r = timeGeneration(dm.database(), group, 1000 + i);
        runs << r.ms;
        writes = r.writes;
        even = even && r.even;
        const QString floorDir = work.filePath(QString("floor%1").arg(i));
        QDir().mkpath(floorDir);
        floors << timeSqliteFloor(floorDir, r.writes);
    }
    const double run = median(runs);
    const double floor = median(floors);
    std::printf("Group schedule: %d entries, %d a session, %d courts, %d weeks on 2 days (T = %d, E = %d), "
                "reconciled (%d runs):\n", Entries, PerSession, Courts, Weeks, 2 * Weeks, Weeks, Runs);
    std::printf("  generation end to end     median %7.1f ms  best %7.1f ms  %s  (%lld writes, every entry on %d dates: %s)\n",
                run, *std::min_element(runs.begin(), runs.end()), run < 1000 ? "under 1 s" : "OVER 1 s",
                static_cast<long long>(writes), Weeks, even ? "yes" : "NO");
    if (floor <= 0) {
        std::printf("  sqlite3 floor             (libsqlite3 could not be loaded)\n");
        return;
    }
    const double ratio = run / floor;
    std::printf("  sqlite3 floor, %lld autocommit INSERTs  median %7.1f ms\n", static_cast<long long>(writes), floor);
    std::printf("  ratio                     %.2f x the floor  %s\n", ratio,
                ratio <= 1.5 ? "within 1.5 x" : "OVER 1.5 x");
}
