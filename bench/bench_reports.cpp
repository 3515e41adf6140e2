#include "bench_reports.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/query.h"
#include "data/table.h"
#include "export/fairnessreport.h"
#include "reportengine/fonts.h"
#include "reports/playerlabels.h"
#include "reports/schedulereport.h"
#include "timing.h"
#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int Runs = 5;
constexpr double TargetMs = 500.0;
constexpr double DoublesTargetMs = 300.0;
constexpr int Dates = 150;
constexpr int Courts = 6;
constexpr int Entries = 16;   // 12 play on each date, 4 sit out
constexpr int DoublesCourts = 10;
constexpr int DoublesEntries = 44;   // 40 play on each date, 4 sit out
constexpr int Labels = 300;
constexpr double FairnessTargetMs = 500.0;
constexpr int FairnessCourts = 60;
constexpr int FairnessEntries = 120;   // two a court, every one on every date
constexpr double BigScheduleTargetMs = 2000.0;

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

struct Season {
    QString name;
    int type;   // 0 no match type, 1 singles, 2 doubles
    int courts;
    int entries;
    int perCourt;
};
const Season singles{"Benchmark Singles", 1, Courts, Entries, 2};
const Season doubles{"Benchmark Doubles", 2, DoublesCourts, DoublesEntries, 4};
// Without a match type the fairness report counts who met whom.
const Season fairness{"Benchmark Fairness", 0, FairnessCourts, FairnessEntries, 2};

// Courts "Court 1".. assigned to the group.
QVector<int> addCourts(Database& db, int group, int count)
{
    QVector<int> courts;
    for (int c = 1; c <= count; ++c) {
        courts << insert(db, "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)",
                         [c](Query& q) { q.setString("n", QString("Court %1").arg(c)); });
        insert(db, "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)", [&](Query& q) {
            q.setInteger("c", courts.last());
            q.setInteger("g", group);
        });
    }
    return courts;
}

// Entries 1..count, each a new player from `firstPlayer` on.
QVector<int> addEntries(Database& db, int group, int count, int firstPlayer)
{
    QVector<int> entries;
    for (int e = 1; e <= count; ++e) {
        const int player = addPlayer(db, firstPlayer + e - 1);
        entries << insert(db, "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM) VALUES (:g, :p, :s)",
                          [&](Query& q) {
                              q.setInteger("g", group);
                              q.setInteger("p", player);
                              q.setInteger("s", e);
                          });
    }
    return entries;
}

// A group with bring-balls on and a full season of schedule rows; entries
// rotate so that one- and two-digit numbers mix in the cells.
int buildScheduledGroup(Database& db, const Season& season, int firstPlayer)
{
    db.startTransaction();
    const int perCourt = season.perCourt;
    const int group = insert(db,
                             "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, STIME, ETIME, "
                             "RTYPE, NOTES, BBON) VALUES (:n, :sd, 150, :per, :t, '09:00:00', "
                             "'10:30:00', 1, 'Arrive ten minutes early to warm up.', 1)",
                             [&](Query& q) {
                                 q.setString("n", season.name);
                                 q.setDate("sd", QDate(2027, 1, 4));
                                 q.setInteger("per", season.courts * perCourt);
                                 q.setInteger("t", season.type);
                             });
    const QVector<int> courts = addCourts(db, group, season.courts);
    const QVector<int> entries = addEntries(db, group, season.entries, firstPlayer);
    Query row(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE, HOME) "
                  "VALUES (:e, :d, :c, :s, :h)");
    for (int d = 0; d < Dates; ++d)
        for (int slot = 0; slot < perCourt * season.courts; ++slot) {
            const int entry = (d * 5 + slot * 13) % season.entries;
            row.setInteger("e", entries[entry]);
            row.setDate("d", QDate(2027, 1, 4).addDays(d));
            row.setInteger("c", courts[slot / perCourt]);
            row.setInteger("s", entry + 1);
            row.setBool("h", slot % perCourt == 0);
            row.execSql();
        }
    db.commit();
    return group;
}

struct Figure {
    Timings time;
    double cpuMedian = 0;   // processor time of the run: what it costs on a busy machine too
    int pages = 0;
    qint64 bytes = 0;
};

Figure timeRuns(const std::function<int()>& run, const QString& file)
{
    QVector<double> ms, cpu;
    int pages = 0;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer clock;
        const std::clock_t cpuStart = std::clock();
        clock.start();
        pages = run();
        ms << clock.nsecsElapsed() / 1e6;
        cpu << 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    }
    return Figure{summarize(ms), median(cpu), pages, QFileInfo(file).size()};
}

void print(const char* label, const Figure& f, double targetMs = TargetMs)
{
    const QString target = QString::number(targetMs / 1000.0) + " s";
    std::printf("%-40s median %7.1f ms  best %7.1f ms  cpu %7.1f ms  (%d pages, %lld KB)  %s %s\n", label,
                f.time.median, f.time.best, f.cpuMedian, f.pages, f.bytes / 1024,
                f.time.median < targetMs ? "under" : "OVER", qPrintable(target));
    std::fflush(stdout);
}

// VANTREL_BENCH_KEEP names a folder to keep the written PDFs in, to look at them.
void keep(const QString& file)
{
    const QString folder = qEnvironmentVariable("VANTREL_BENCH_KEEP");
    if (folder.isEmpty())
        return;
    const QString target = QDir(folder).filePath(QFileInfo(file).fileName());
    QFile::remove(target);
    QFile::copy(file, target);
}

Figure timeSchedule(Database& db, int group, const QString& file)
{
    TScheduleReport schedule(db);
    schedule.rsSchedule.setPresetDestination(TReportSystem::Destination::PdfFile, file);
    const Figure f = timeRuns(
        [&] {
            schedule.PrintSchedule(group);
            return int(schedule.rsSchedule.pages().size());
        },
        file);
    keep(file);
    return f;
}

// The fairness report from reading the season to the PDF on disk, as the
// command line and the window's Print run it.
Figure timeFairness(Database& db, int group, const QString& file)
{
    TFairnessReport report;
    const Figure f = timeRuns(
        [&] {
            report.load(db, group);
            report.savePdf(file);
            return int(report.rsFairness.pages().size());
        },
        file);
    keep(file);
    return f;
}

// A group as big as they come: 1,000 entries, 500 a date on 250 courts,
// five days a week for 52 weeks (130,000 schedule rows).
int buildBigGroup(Database& db, int firstPlayer)
{
    constexpr int entryCount = 1000, perDate = 500, courtCount = 250, days = 5 * 52;
    db.startTransaction();
    const int group = insert(db,
                             "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, STIME, ETIME, "
                             "RTYPE, NOTES, BBON, MONDAY, TUESDAY, WEDNESDAY, THURSDAY, FRIDAY) VALUES ('Club Ladder', "
                             ":sd, 52, 500, 1, '09:00:00', '10:30:00', 1, 'Sign in at the desk.', 1, 1, 1, 1, 1, 1)",
                             [&](Query& q) { q.setDate("sd", QDate(2027, 1, 4)); });
    const QVector<int> courts = addCourts(db, group, courtCount);
    const QVector<int> entries = addEntries(db, group, entryCount, firstPlayer);
    Query row(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE, HOME) "
                  "VALUES (:e, :d, :c, :s, :h)");
    QDate date(2027, 1, 4);
    for (int d = 0; d < days; ++d, date = date.addDays(date.dayOfWeek() == 5 ? 3 : 1))
        for (int i = 0; i < perDate; ++i) {
            const int entry = (d * perDate + i) % entryCount;
            row.setInteger("e", entries[entry]);
            row.setDate("d", date);
            row.setInteger("c", courts[i / 2]);
            row.setInteger("s", entry + 1);
            row.setBool("h", i % 2 == 0);
            row.execSql();
        }
    db.commit();
    return group;
}

// Pairs of texts that overprint each other on the pages: each text's box
// from its font's ascent to its descent, compared with those that start
// left of its right end (a sweep, so that 65,000 cells take no time).
int overprinted(const QVector<ReportPage>& pages)
{
    int found = 0;
    for (const ReportPage& page : pages) {
        struct Box {
            double left, right, top, bottom;
        };
        QVector<Box> boxes;
        for (const TextOp& t : page.texts())
            boxes << Box{t.x, t.x + t.width, t.baseline - ReportFonts::ascent(t.font),
                         t.baseline + ReportFonts::descent(t.font)};
        std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.left < b.left; });
        constexpr double touch = 1e-6;
        for (int i = 0; i < boxes.size(); ++i)
            for (int j = i + 1; j < boxes.size() && boxes[j].left < boxes[i].right - touch; ++j)
                if (boxes[j].top < boxes[i].bottom - touch && boxes[i].top < boxes[j].bottom - touch)
                    ++found;
    }
    return found;
}

// The schedule of the biggest group as a PDF, 250 courts in bands: the
// time, and whether any text overprints another.
void timeBigSchedule(Database& db, int group, const QString& file)
{
    const Figure f = timeSchedule(db, group, file);
    print("schedule, 1,000 entries, 250 courts, 260 dates", f, BigScheduleTargetMs);
    // Where the time goes: reading the season, laying the pages out, drawing the PDF.
    TScheduleReport schedule(db);
    QVector<ReportPage> pages;
    const std::function<void()> phases[] = {[&] { schedule.prepare(group); },
                                            [&] { pages = schedule.rsSchedule.generate(); },
                                            [&] { schedule.rsSchedule.savePdf(pages, file); }};
    double wall[3], cpu[3];
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        const double cpuStart = processCpuMs();
        clock.start();
        phases[i]();
        wall[i] = clock.nsecsElapsed() / 1e6;
        cpu[i] = processCpuMs() - cpuStart;
    }
    const int overlaps = overprinted(pages);
    std::printf("%-40s wall / cpu: read %.0f / %.0f ms, lay out %.0f / %.0f ms, PDF %.0f / %.0f ms; %d overprinted "
                "pairs of texts  %s\n",
                "", wall[0], cpu[0], wall[1], cpu[1], wall[2], cpu[2], overlaps, overlaps == 0 ? "none" : "OVERLAP");
    std::fflush(stdout);
}

// From the print command to the report's setup dialog on screen: the time,
// and the longest stretch in it in which the window's events did not run,
// seen as the longest gap between two turns of a timer that fires at every
// turn of the event loop. The dialog is cancelled as soon as it shows.
void timeUntilSetup(Tdmglobal& dm, int group)
{
    QVector<double> toDialog, stretches;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        double last = 0, longest = 0, shown = -1;
        QTimer turn;
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [&] {
            if (shown >= 0)
                return;
            const double now = clock.nsecsElapsed() / 1e6;
            longest = std::max(longest, now - last);
            last = now;
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = now;
                dialog->reject();
            }
        });
        turn.start();
        clock.start();
        dm.printSchedule(group);
        turn.stop();
        toDialog << shown;
        stretches << longest;
    }
    std::printf("%-40s median %7.1f ms to the setup dialog, longest stretch without events %6.1f ms  %s\n",
                "schedule, 1,000 entries, 130,000 rows", median(toDialog), median(stretches),
                median(stretches) <= 100.0 ? "within 100 ms" : "OVER 100 ms");
    std::fflush(stdout);
}

}   // namespace

void benchReports()
{
    QTemporaryDir work;
    Tdmglobal dm(work.path());
    Database& db = dm.database();
    std::printf("Reports, laid out and written as PDF (%d runs each):\n", Runs);

    const int group = buildScheduledGroup(db, singles, 1);
    print("schedule, 150 dates on 6 courts", timeSchedule(db, group, work.filePath("schedule.pdf")));
    const int doublesGroup = buildScheduledGroup(db, doubles, Entries + 1);
    print("doubles, 150 dates on 10 courts, 44", timeSchedule(db, doublesGroup, work.filePath("doubles.pdf")),
          DoublesTargetMs);
    const int fairnessGroup = buildScheduledGroup(db, fairness, Entries + DoublesEntries + 1);
    print("fairness, 120 entries on 60 courts", timeFairness(db, fairnessGroup, work.filePath("fairness.pdf")),
          FairnessTargetMs);

    db.startTransaction();
    for (int n = Entries + DoublesEntries + FairnessEntries + 1; n <= Labels; ++n)
        addPlayer(db, n);
    db.commit();
    Table players(db, "PLAYERS.db");
    players.setIndexName("lastname");
    players.open();
    const QString labelsPdf = work.filePath("labels.pdf");
    TPlayerLabels labels(players);
    labels.rsLabels.setPresetDestination(TReportSystem::Destination::PdfFile, labelsPdf);
    print("mailing labels, 300 players", timeRuns(
                                             [&] {
                                                 labels.PrintLabels(nullptr);
                                                 return int(labels.rsLabels.pages().size());
                                             },
                                             labelsPdf));
    keep(labelsPdf);

    const int bigGroup = buildBigGroup(db, Labels + 1);
    timeBigSchedule(db, bigGroup, work.filePath("big.pdf"));
    installScheduleReport(dm);
    timeUntilSetup(dm, bigGroup);
}
