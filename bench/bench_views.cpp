#include "bench_views.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/query.h"
#include "scheduling/scheduleeditdialog.h"
#include "scheduling/groupeditor.h"
#include "scheduling/seasonwindow.h"
#include "timing.h"
#include <QCoreApplication>
#include <QHeaderView>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTableView>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int Runs = 7;
constexpr double TargetMs = 200.0;
constexpr int OtherGroups = 50;
constexpr int EntriesPerGroup = 20;
constexpr int DatesPerGroup = 100;   // 20 rows a date: 2,000 rows a group
constexpr int Courts = 10;

int insert(Query& q)
{
    q.execSql();
    return q.lastInsertId().toInt();
}

// One group with its entries, courts and `dates` dates of schedule rows,
// every entry playing on each date.
int addScheduledGroup(Database& db, const QString& name, int dates, const QVector<int>& players,
                      const QVector<int>& courts)
{
    Query group(db, "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, STIME, ETIME, RTYPE, "
                    "MONDAY, THURSDAY, FEE, NOTES) VALUES (:n, :sd, 52, 20, 1, '09:00:00', '10:30:00', 1, 1, 1, "
                    "120, 'Bring water.')");
    group.setString("n", name);
    group.setDate("sd", QDate(2027, 1, 4));
    const int groupId = insert(group);

    Query slot(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)");
    for (int court : courts) {
        slot.setInteger("c", court);
        slot.setInteger("g", groupId);
        slot.execSql();
    }
    Query entry(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM, SESPLAYED) VALUES (:g, :p, :s, :d)");
    QVector<int> entries;
    for (int i = 0; i < players.size(); ++i) {
        entry.setInteger("g", groupId);
        entry.setInteger("p", players[i]);
        entry.setInteger("s", i + 1);
        entry.setInteger("d", dates);
        entries << insert(entry);
    }
    Query row(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE, HOME) "
                  "VALUES (:e, :d, :c, :s, :h)");
    for (int d = 0; d < dates; ++d)
        for (int i = 0; i < entries.size(); ++i) {
            row.setInteger("e", entries[(i + d) % entries.size()]);
            row.setDate("d", QDate(2027, 1, 4).addDays(7 * d));
            row.setInteger("c", courts[(i / 2) % courts.size()]);
            row.setInteger("s", (i + d) % entries.size() + 1);
            row.setBool("h", i % 2 == 0);
            row.execSql();
        }
    return groupId;
}

struct Fixture {
    int editedGroup = 0;   // no schedule rows of its own; 100,000 of others around it
    int viewedGroup = 0;   // 2,000 rows of its own
    int scheduleRows = 0;
};

Fixture build(Database& db)
{
    db.startTransaction();
    QVector<int> players, courts;
    Query player(db, "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:f, :l)");
    for (int p = 1; p <= EntriesPerGroup; ++p) {
        player.setString("f", QString("First%1").arg(p));
        player.setString("l", QString("Last%1").arg(p));
        players << insert(player);
    }
    Query court(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)");
    for (int c = 1; c <= Courts; ++c) {
        court.setString("n", QString("Court %1").arg(c));
        courts << insert(court);
    }
    Fixture f;
    for (int g = 1; g <= OtherGroups; ++g)
        addScheduledGroup(db, QString("Other %1").arg(g), DatesPerGroup, players, courts);
    f.editedGroup = addScheduledGroup(db, "Edited", 0, players, courts);
    f.viewedGroup = addScheduledGroup(db, "Viewed", DatesPerGroup, players, courts);
    db.commit();
    Query count(db, "SELECT COUNT(*) FROM \"SCHEDULE.db\"");
    count.open();
    count.first();
    f.scheduleRows = count.value(0).toInt();
    return f;
}

void waitUntilPainted(QWidget& window)
{
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
}

Timings timeRuns(const std::function<std::unique_ptr<QWidget>()>& open)
{
    QVector<double> ms;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<QWidget> window = open();
        ms << clock.nsecsElapsed() / 1e6;
    }
    return summarize(ms);
}

void print(const char* label, const Timings& f, const QString& detail)
{
    std::printf("%-42s median %6.1f ms  best %6.1f ms  first %6.1f ms  (%s)  %s\n", label, f.median, f.best, f.first,
                detail.toLocal8Bit().constData(), f.median < TargetMs ? "under 200 ms" : "OVER 200 ms");
    std::fflush(stdout);
}

// A season as big groups have them: `entries` entries with names of 20 to
// 25 characters, `perDate` of them a date, two a court, over `dates` dates.
struct SeasonShape {
    const char* label;
    int entries, perDate, courts, dates;
    int runs;
};

int addSeason(Database& db, const SeasonShape& shape)
{
    db.startTransaction();
    Query group(db, "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, STIME, ETIME, RTYPE, "
                    "BBON, MONDAY) VALUES (:n, '2027-01-04', :w, :per, 1, '09:00:00', '10:30:00', 1, 1, 1)");
    group.setString("n", QString("Season %1").arg(shape.entries));
    group.setInteger("w", shape.dates);
    group.setInteger("per", shape.perDate);
    const int groupId = insert(group);
    Query court(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)");
    Query slot(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)");
    QVector<int> courts;
    for (int c = 1; c <= shape.courts; ++c) {
        court.setString("n", QString("Court %1").arg(c));
        courts << insert(court);
        slot.setInteger("c", courts.last());
        slot.setInteger("g", groupId);
        slot.execSql();
    }
    Query player(db, "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:f, :l)");
    Query entry(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM, SESPLAYED) VALUES (:g, :p, :s, :d)");
    static const char* const first[] = {"Alexandra", "Maximilian", "Wilhelmina", "Christopher", "Bartholomew"};
    static const char* const last[] = {"Worthington", "Montgomery", "Fitzgerald", "Abernathy", "Kowalczyk"};
    QVector<int> entries;
    for (int e = 0; e < shape.entries; ++e) {
        player.setString("f", QString(first[e % 5]));
        player.setString("l", QString("%1-%2").arg(last[(e / 5) % 5]).arg(e));
        entry.setInteger("g", groupId);
        entry.setInteger("p", insert(player));
        entry.setInteger("s", e + 1);
        entry.setInteger("d", qint64(shape.dates) * shape.perDate / shape.entries);
        entries << insert(entry);
    }
    Query row(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE, HOME) "
                  "VALUES (:e, :d, :c, :s, :h)");
    for (int d = 0; d < shape.dates; ++d)
        for (int i = 0; i < shape.perDate; ++i) {
            const int e = (i + d * shape.perDate) % shape.entries;
            row.setInteger("e", entries[e]);
            row.setDate("d", QDate(2027, 1, 4).addDays(d));
            row.setInteger("c", courts[(i / 2) % courts.size()]);
            row.setInteger("s", e + 1);
            row.setBool("h", i % 2 == 0);
            row.execSql();
        }
    db.commit();
    return groupId;
}

void benchSeasonWindow(Database& db, const SeasonShape& shape)
{
    const int group = addSeason(db, shape);
    QVector<double> ms;
    int rows = 0, columns = 0;
    for (int i = 0; i < shape.runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<Tfrmseason>(group);
        window->resize(1280, 800);
        waitUntilPainted(*window);
        ms << clock.nsecsElapsed() / 1e6;
        rows = window->grid()->model()->rowCount();
        columns = window->grid()->model()->columnCount();
    }
    const Timings t = summarize(ms);
    std::printf("%-42s median %6.1f ms  best %6.1f ms  first %6.1f ms  (%d dates x %d columns, %d runs)  %s\n",
                shape.label, t.median, t.best, t.first, rows, columns, shape.runs,
                t.median < 1000.0 ? "under 1 s" : "OVER 1 s");
    std::fflush(stdout);
}

}   // namespace

void benchViews()
{
    QTemporaryDir work;
    Tdmglobal dm(work.path());
    Database& db = dm.database();
    const Fixture f = build(db);
    std::printf("Windows opened and painted, schedule table of %d rows (%d runs each):\n", f.scheduleRows, Runs);

    int heldRows = -1, entries = 0;
    const Timings editorFigure = timeRuns([&] {
        auto editor = std::make_unique<Tfrmgroup>(RecordKind::Group);
        editor->resize(1024, 700);
        editor->openRecord(f.editedGroup);
        waitUntilPainted(*editor);
        heldRows = editor->datasets().tbschedule.recordCount();
        entries = editor->datasets().tbplayers.recordCount();
        return editor;
    });
    print("group editor among 100,000 other rows", editorFigure,
          QString("%1 entries; schedule rows held: %2").arg(entries).arg(heldRows));

    int shownRows = 0;
    const Timings viewFigure = timeRuns([&] {
        auto view = std::make_unique<Tdlgschedule>();
        view->setGroup(f.viewedGroup, MatchType::Singles);
        waitUntilPainted(*view);
        shownRows = view->scheduleGrid()->model()->rowCount();
        return view;
    });
    print("schedule view of a group with 2,000 rows", viewFigure, QString("%1 rows shown").arg(shownRows));

    std::printf("Season window opened and painted:\n");
    benchSeasonWindow(db, {"season of 240 entries, 6,240 rows", 240, 120, 60, 52, 5});
    benchSeasonWindow(db, {"season of 1,000 entries, 100,000 rows", 1000, 500, 250, 200, 3});
}
