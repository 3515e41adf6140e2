#include "bench_reports.h"
#include "data/dmuglobal.h"
#include "data/query.h"
#include "data/table.h"
#include "reports/playerlabels.h"
#include "reports/schedulereport.h"
#include "timing.h"
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Runs = 5;
constexpr double TargetMs = 500.0;
constexpr int Dates = 150;
constexpr int Courts = 6;
constexpr int Entries = 16;   // 12 play on each date, 4 sit out
constexpr int Labels = 300;

int insert(Database& db, const QString& sql, const std::function<void(Query&)>& bind)
{
    Query q(db, sql);
    bind(q);
    q.execSql();
    return q.lastInsertId().toInt();
}

int addPlayer(Database& db, int n)
{
    return insert(db,
                  "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME, STREET1, STREET2, CITY, STATE, ZIPCODE, PHONE1) "
                  "VALUES (:f, :l, :s1, :s2, :c, 'IL', '62701-', '(217)555-0100')",
                  [n](Query& q) {
                      q.setString("f", QString("First%1").arg(n));
                      q.setString("l", QString("Last%1").arg(n));
                      q.setString("s1", QString("%1 Oak Street").arg(n));
                      q.setParam("s2", n % 3 ? QVariant() : QVariant(QString("Apt %1").arg(n)));
                      q.setString("c", "Springfield");
                  });
}

// A singles group with bring-balls on and a full season of schedule rows.
int buildScheduledGroup(Database& db)
{
    db.startTransaction();
    const int group = insert(db,
                             "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, STIME, ETIME, "
                             "RTYPE, NOTES, BBON) VALUES ('Benchmark Singles', :sd, 150, 12, 1, '09:00:00', "
                             "'10:30:00', 1, 'Arrive ten minutes early to warm up.', 1)",
                             [](Query& q) { q.setDate("sd", QDate(2027, 1, 4)); });
    QVector<int> courts, entries;
    for (int c = 1; c <= Courts; ++c) {
        courts << insert(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)",
                         [c](Query& q) { q.setString("n", QString("Court %1").arg(c)); });
        insert(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)", [&](Query& q) {
            q.setInteger("c", courts.last());
            q.setInteger("g", group);
        });
    }
    for (int e = 1; e <= Entries; ++e) {
        const int player = addPlayer(db, e);
        entries << insert(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM) VALUES (:g, :p, :s)",
                          [&](Query& q) {
                              q.setInteger("g", group);
                              q.setInteger("p", player);
                              q.setInteger("s", e);
                          });
    }
    Query row(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE, HOME) "
                  "VALUES (:e, :d, :c, :s, :h)");
    for (int d = 0; d < Dates; ++d)
        for (int slot = 0; slot < 2 * Courts; ++slot) {
            const int entry = (d * 5 + slot) % Entries;
            row.setInteger("e", entries[entry]);
            row.setDate("d", QDate(2027, 1, 4).addDays(d));
            row.setInteger("c", courts[slot / 2]);
            row.setInteger("s", entry + 1);
            row.setBool("h", slot % 2 == 0);
            row.execSql();
        }
    db.commit();
    return group;
}

struct Figure {
    Timings time;
    int pages = 0;
    qint64 bytes = 0;
};

Figure timeRuns(const std::function<int()>& run, const QString& file)
{
    QVector<double> ms;
    int pages = 0;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        pages = run();
        ms << clock.nsecsElapsed() / 1e6;
    }
    return Figure{summarize(ms), pages, QFileInfo(file).size()};
}

void print(const char* label, const Figure& f)
{
    std::printf("%-40s median %7.1f ms  best %7.1f ms  (%d pages, %lld KB)  %s\n", label, f.time.median,
                f.time.best, f.pages, f.bytes / 1024, f.time.median < TargetMs ? "under 0.5 s" : "OVER 0.5 s");
    std::fflush(stdout);
}

} // namespace

void benchReports()
{
    QTemporaryDir work;
    Tdmglobal dm(work.path());
    Database& db = dm.database();
    std::printf("Reports, laid out and written as PDF (%d runs each):\n", Runs);

    const int group = buildScheduledGroup(db);
    const QString schedulePdf = work.filePath("schedule.pdf");
    TScheduleReport schedule(db);
    schedule.rsSchedule.setPresetDestination(TReportSystem::Destination::PdfFile, schedulePdf);
    print("schedule, 150 dates on 6 courts", timeRuns([&] {
              schedule.PrintSchedule(group);
              return int(schedule.rsSchedule.pages().size());
          }, schedulePdf));

    db.startTransaction();
    for (int n = Entries + 1; n <= Labels; ++n)
        addPlayer(db, n);
    db.commit();
    Table players(db, "PLAYERS.db");
    players.setIndexName("lastname");
    players.open();
    const QString labelsPdf = work.filePath("labels.pdf");
    TPlayerLabels labels(players);
    labels.rsLabels.setPresetDestination(TReportSystem::Destination::PdfFile, labelsPdf);
    print("mailing labels, 300 players", timeRuns([&] {
              labels.PrintLabels(nullptr);
              return int(labels.rsLabels.pages().size());
          }, labelsPdf));
}
