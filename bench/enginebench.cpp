#include "enginebench.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/dberror.h"
#include "data/query.h"
#include "engine/engine.h"
#include "engine/league.h"
#include "engine/runstate.h"
#include "acceptinghost.h"
#include "timing.h"
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// A stretch longer than this freezes the window noticeably.
constexpr double StretchAimMs = 100;

const char* const WeekdayColumns[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

// The new row's id comes back by RETURNING, which both engines answer; a
// server has no last insert id to ask for.
int insert(Database& db, const QString& sql, const QVariantList& values, const char* key)
{
    Query q(db, sql + QStringLiteral(" RETURNING ") + QLatin1String(key));
    q.prepare();
    for (int i = 0; i < values.size(); ++i)
        q.setParam(QString("v%1").arg(i), values[i]);
    q.open();
    return q.asInt(QLatin1String(key));
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
    if (matches != pairings * s.duration)
        return QString("%1 matches, not %2").arg(matches).arg(pairings * s.duration);
    Query dates(db, "SELECT COUNT(DISTINCT d.\"DATE\") AS N FROM \"SCHEDULE.db\" d, \"GRPPLAYR.db\" g WHERE "
                    "g.GROUPPLAYERID = d.GRPPLAYRID AND g.GROUPID = :g");
    dates.prepare();
    dates.setInteger("g", groupId);
    dates.open();
    const int fewest = LeaguePairing::FewestDates(s.entries, s.courts, s.duration);
    return dates.asInt("N") == fewest ? QString() : QString("%1 dates, not %2").arg(dates.asInt("N")).arg(fewest);
}

int createShapeRows(Database& db, const EngineShape& s)
{
    QString columns = "NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE";
    QString values = ":v0, :v1, :v2, :v3, :v4, :v5";
    for (int day : s.weekdays) {
        columns += QString(", ") + WeekdayColumns[day - 1];
        values += ", 1";
    }
    const int group = insert(db, "INSERT INTO \"group.DB\" (" + columns + ") VALUES (" + values + ")",
                             {"Bench", "2027-01-04", s.duration, s.perSession, s.matchType, s.recordKind}, "GROUPID");
    for (int i = 1; i <= s.entries; ++i) {
        const int player = insert(db, "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:v0, :v1)",
                                  {QString("First%1").arg(i), QString("Last%1").arg(i)}, "PLAYERID");
        insert(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM) VALUES (:v0, :v1, :v2)",
               {group, player, i}, "GROUPPLAYERID");
    }
    for (int c = 1; c <= s.courts; ++c) {
        const int court =
            insert(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:v0)", {QString("Court %1").arg(c)}, "COURTID");
        insert(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:v0, :v1)", {court, group}, "GRPCRTID");
    }
    return group;
}

// Every column a run writes, in the order the floor binds them.
const char* const ScheduleColumns = "SCHEDULEID, GRPPLAYRID, \"DATE\", VSGRPPLAYRID, HOME, WINNER, GRPCOURTID, "
                                    "SLOTCODE, SLOTCODE2";
constexpr int ScheduleColumnCount = 9;

void mustExec(QSqlQuery& q)
{
    if (!q.exec())
        throw engineError(q.lastError());
}

}   // namespace

int createShape(Database& db, const EngineShape& s)
{
    int group = 0;
    db.runInTransaction([&] { group = createShapeRows(db, s); });
    return group;
}

// The one place the benchmarks construct the engine.
void runEngine(Database& db, int groupId, ScheduleHost& host, unsigned seed)
{
    runState() = RunState();
    std::mt19937 random(seed);
    ScheduleEngine engine(db, groupId, host, random);
    engine.GenerateSchedule();
}

EngineRun timeEngineRun(Database& db, int groupId, unsigned seed)
{
    AcceptingHost host;
    EngineRun r;
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = processCpuMs();
    host.startStretch();
    runEngine(db, groupId, host, seed);
    host.endStretch();
    r.run = {clock.nsecsElapsed() / 1e6, processCpuMs() - cpuStart};
    r.longestStretchMs = host.longestStretchMs;
    r.yields = host.yields;
    const QVector<QVariantList> rows = readScheduleRows(db, groupId);
    r.rows = int(rows.size());
    r.floor = timeRowsOnlyFloor(rows);
    return r;
}

QVector<QVariantList> readScheduleRows(Database& db, int groupId)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    q.prepare(QString("SELECT %1 FROM SCHEDULE WHERE GRPPLAYRID IN (SELECT GROUPPLAYERID FROM GRPPLAYR WHERE "
                      "GROUPID = ?) ORDER BY SCHEDULEID")
                  .arg(QString(ScheduleColumns)));
    q.addBindValue(groupId);
    mustExec(q);
    QVector<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        row.reserve(ScheduleColumnCount);
        for (int c = 0; c < ScheduleColumnCount; ++c)
            row << q.value(c);
        rows << row;
    }
    return rows;
}

WallCpu timeRowsOnlyFloor(const QVector<QVariantList>& rows)
{
    // The program's own opening gives the schema, its indexes and the
    // pragmas (WAL, synchronous NORMAL) the engine writes under.
    QTemporaryDir dir;
    Database floorDb(dir.path());
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = processCpuMs();
    floorDb.startWriteTransaction();
    QSqlQuery q(floorDb.connection());
    q.prepare(QString("INSERT INTO SCHEDULE (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(QString(ScheduleColumns)));
    for (const QVariantList& row : rows) {
        for (int c = 0; c < ScheduleColumnCount; ++c)
            q.bindValue(c, row[c]);
        mustExec(q);
    }
    floorDb.commit();
    return {clock.nsecsElapsed() / 1e6, processCpuMs() - cpuStart};
}

QString checkSchedule(Database& db, int groupId, const EngineShape& shape)
{
    return shape.recordKind == 1 ? checkGroup(db, groupId, shape) : checkLeague(db, groupId, shape);
}

void benchShapes(const char* title, const QVector<EngineShape>& shapes, int runs)
{
    std::printf("%s: median of %d runs, each against its own floor (the rows it left, written alone in one\n"
                "transaction by one prepared INSERT into a fresh database); wall / processor time in ms\n",
                title, runs);
    std::printf("  %-47s %7s %17s %16s %14s %9s\n", "shape", "rows", "run wall / cpu", "floor wall / cpu", "x floor",
                "longest");
    for (const EngineShape& s : shapes) {
        QTemporaryDir work;
        Tdmglobal dm(work.path());   // the engine reaches the data module as in the program
        Database& db = dm.database();
        const int group = createShape(db, s);
        QVector<double> wall, cpu, floorWall, floorCpu, ratio, cpuRatio;
        double longest = 0;
        int rows = 0;
        QString check;
        for (int i = 0; i < runs; ++i) {
            const EngineRun r = timeEngineRun(db, group, 1000 + i);
            wall << r.run.wallMs;
            cpu << r.run.cpuMs;
            floorWall << r.floor.wallMs;
            floorCpu << r.floor.cpuMs;
            ratio << r.run.wallMs / r.floor.wallMs;
            cpuRatio << r.run.cpuMs / r.floor.cpuMs;
            longest = std::max(longest, r.longestStretchMs);
            rows = r.rows;
            if (check.isEmpty())
                check = checkSchedule(db, group, s);
        }
        QStringList verdict;
        if (s.targetMs > 0)
            verdict << (median(wall) <= s.targetMs ? QString("within %1 ms").arg(s.targetMs)
                                                   : QString("OVER %1 ms").arg(s.targetMs));
        if (s.targetRatio > 0)
            verdict << (median(ratio) <= s.targetRatio ? QString("within %1x").arg(s.targetRatio)
                                                       : QString("OVER %1x").arg(s.targetRatio));
        verdict << (longest <= StretchAimMs ? QString("no stretch over %1 ms").arg(StretchAimMs)
                                            : QString("STRETCH OVER %1 ms").arg(StretchAimMs));
        verdict << (check.isEmpty() ? QString("schedule sound") : "SCHEDULE WRONG: " + check);
        std::printf("  %-47s %7d %8.1f /%7.1f %7.1f /%7.1f %5.1f /%5.1f x %6.1f ms  %s\n", s.label, rows, median(wall),
                    median(cpu), median(floorWall), median(floorCpu), median(ratio), median(cpuRatio), longest,
                    qPrintable(verdict.join(", ")));
        std::fflush(stdout);
    }
}
