#include "enginebench.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/query.h"
#include "engine/engine.h"
#include "scheduling/groupdatasets.h"
#include "engine/runstate.h"
#include "engine/schedulehost.h"
#include "timing.h"
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QLibrary>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// Accepts every question and the reconciliation; lets the event loop run
// and notes the longest stretch of work between two yields.
class AcceptingHost : public ScheduleHost {
public:
    AcceptingHost() { clock.start(); }
    Answer ask(const QString&) override { return Yes; }
    void warn(const QString&) override {}
    void statusMessage(const QString&) override {}
    void setBusy(bool) override {}
    void suspendUpdates(bool) override {}
    void yield() override
    {
        noteStretch();
        ++yields;
        QCoreApplication::processEvents();
        last = clock.nsecsElapsed();
    }
    bool showReconcile(const QVector<ReconcileLine>&, int, double) override { return true; }

    void noteStretch() { longest = std::max(longest, (clock.nsecsElapsed() - last) / 1e6); }

    QElapsedTimer clock;
    qint64 last = 0;
    double longest = 0;
    int yields = 0;
};

const char* const WeekdayColumns[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

int insert(Database& db, const QString& sql, const QVariantList& values)
{
    Query q(db, sql);
    q.prepare();
    for (int i = 0; i < values.size(); ++i)
        q.setParam(QString("v%1").arg(i), values[i]);
    q.execSql();
    return q.lastInsertId().toInt();
}

QString checkGroup(Database& db, int groupId, const EngineShape& s)
{
    Query perDate(db, "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\" d, \"GRPPLAYR.db\" g WHERE g.GROUPPLAYERID = "
                      "d.GRPPLAYRID AND g.GROUPID = :g GROUP BY d.\"DATE\" HAVING COUNT(*) <> :n");
    perDate.prepare();
    perDate.setInteger("g", groupId);
    perDate.setInteger("n", s.perSession);
    perDate.open();
    if (!perDate.eof())
        return "a date not full";
    const qint64 places = qint64(s.duration) * s.weekdays.size() * s.perSession;
    if (places % s.entries != 0)
        return {};
    Query counts(db, "SELECT MIN(SESPLAYED) AS LO, MAX(SESPLAYED) AS HI FROM \"GRPPLAYR.db\" WHERE GROUPID = :g");
    counts.prepare();
    counts.setInteger("g", groupId);
    counts.open();
    const int e = int(places / s.entries);
    return counts.asInt("LO") == e && counts.asInt("HI") == e ? QString()
                                                              : QString("not every entry on %1 dates").arg(e);
}

QString checkLeague(Database& db, int groupId, const EngineShape& s)
{
    Query q(db, "SELECT d.GRPPLAYRID AS A, d.VSGRPPLAYRID AS B FROM \"SCHEDULE.db\" d, \"GRPPLAYR.db\" g WHERE "
                "g.GROUPPLAYERID = d.GRPPLAYRID AND g.GROUPID = :g AND d.VSGRPPLAYRID IS NOT NULL "
                "ORDER BY d.\"DATE\", d.SCHEDULEID");
    q.prepare();
    q.setInteger("g", groupId);
    q.open();
    const int pairings = s.entries * (s.entries - 1) / 2;
    QSet<QPair<int, int>> round;
    int matches = 0;
    for (q.first(); !q.eof(); q.next(), ++matches) {
        const int a = q.asInt("A"), b = q.asInt("B");
        if (round.contains({std::min(a, b), std::max(a, b)}))
            return QString("a pairing twice in round %1").arg(matches / pairings + 1);
        round.insert({std::min(a, b), std::max(a, b)});
        if (round.size() == pairings)
            round.clear();
    }
    return matches == pairings * s.duration ? QString()
                                            : QString("%1 matches, not %2").arg(matches).arg(pairings * s.duration);
}

}   // namespace

int createShape(Database& db, const EngineShape& s)
{
    QString columns = "NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE";
    QString values = ":v0, :v1, :v2, :v3, :v4, :v5";
    for (int day : s.weekdays) {
        columns += QString(", ") + WeekdayColumns[day - 1];
        values += ", 1";
    }
    const int group = insert(db, "INSERT INTO \"group.DB\" (" + columns + ") VALUES (" + values + ")",
                             {"Bench", "2027-01-04", s.duration, s.perSession, s.matchType, s.recordKind});
    for (int i = 1; i <= s.entries; ++i) {
        const int player = insert(db, "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:v0, :v1)",
                                  {QString("First%1").arg(i), QString("Last%1").arg(i)});
        insert(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM) VALUES (:v0, :v1, :v2)",
               {group, player, i});
    }
    for (int c = 1; c <= s.courts; ++c) {
        const int court = insert(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:v0)", {QString("Court %1").arg(c)});
        insert(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:v0, :v1)", {court, group});
    }
    return group;
}

EngineRun timeEngineRun(Database& db, int groupId, unsigned seed)
{
    runState() = RunState();
    GroupDatasets ds(db);
    ds.open();
    ds.tbgroup.locate("GROUPID", groupId);
    AcceptingHost host;
    std::mt19937 rng(seed);
    ScheduleEngine engine(ds.tbgroup.database(), ds.groupId(), host, rng);
    QElapsedTimer clock;
    clock.start();
    host.last = host.clock.nsecsElapsed();
    engine.GenerateSchedule();
    EngineRun r;
    r.ms = clock.nsecsElapsed() / 1e6;
    host.noteStretch();
    r.longestStretchMs = host.longest;
    r.yields = host.yields;
    r.writes = 0;   // the run no longer counts its statements
    return r;
}

QString checkSchedule(Database& db, int groupId, const EngineShape& shape)
{
    return shape.recordKind == 1 ? checkGroup(db, groupId, shape) : checkLeague(db, groupId, shape);
}

namespace {

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

}   // namespace

double timeOneTransactionFloor(const QString& dir, qint64 writes)
{
    Sqlite s;
    if (!s.load())
        return -1;
    const QByteArray path = QDir(dir).filePath("floor.db").toLocal8Bit();
    void* db = nullptr;
    if (s.open(path.constData(), &db, 0x02 | 0x04, nullptr) != 0)   // READWRITE | CREATE
        return -1;
    s.exec(db,
           "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
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
    s.exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (qint64 i = 0; i < writes; ++i) {
        const QByteArray date = QDate(2027, 1, 4).addDays(i / 32).toString(Qt::ISODate).toLatin1();
        s.bindInt(stmt, 1, int(i % 64) + 1);
        s.bindText(stmt, 2, date.constData(), -1, reinterpret_cast<void (*)(void*)>(-1));   // SQLITE_TRANSIENT
        s.bindInt(stmt, 3, int(i % 8) + 1);
        s.bindInt(stmt, 4, int(i % 64) + 1);
        s.step(stmt);
        s.reset(stmt);
    }
    s.exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = clock.nsecsElapsed() / 1e6;
    s.finalize(stmt);
    s.close(db);
    return ms;
}

void benchShapes(const char* title, const QVector<EngineShape>& shapes, int runs)
{
    std::printf("%s (%d runs each, fresh database per shape; floor: sqlite3 writing as many rows in one "
                "transaction):\n",
                title, runs);
    for (const EngineShape& s : shapes) {
        QTemporaryDir work;
        const QString dataDir = work.filePath("data");
        QDir().mkpath(dataDir);
        Tdmglobal dm(dataDir);
        const int group = createShape(dm.database(), s);
        QVector<double> times, floors;
        EngineRun last;
        double longest = 0;
        QString check;
        for (int i = 0; i < runs; ++i) {
            last = timeEngineRun(dm.database(), group, 1000 + i);
            times << last.ms;
            longest = std::max(longest, last.longestStretchMs);
            if (check.isEmpty())
                check = checkSchedule(dm.database(), group, s);
            const QString floorDir = work.filePath(QString("floor%1").arg(i));
            QDir().mkpath(floorDir);
            floors << timeOneTransactionFloor(floorDir, last.writes);
        }
        const Timings t = summarize(times);
        const double floor = median(floors);
        const QString verdict = s.targetMs <= 0          ? QString("(no target)")
                                : t.median <= s.targetMs ? QString("within %1 ms").arg(s.targetMs)
                                                         : QString("OVER %1 ms").arg(s.targetMs);
        std::printf("  %-52s median %7.1f ms  best %7.1f ms  %s\n", s.label, t.median, t.best, qPrintable(verdict));
        std::printf("  %-52s floor  %7.1f ms (%lld writes)  ratio %.1f x  longest without a yield %.1f ms  %s\n", "",
                    floor, static_cast<long long>(last.writes), floor > 0 ? t.median / floor : 0.0, longest,
                    check.isEmpty() ? "schedule sound" : qPrintable("SCHEDULE WRONG: " + check));
        std::fflush(stdout);
    }
}
