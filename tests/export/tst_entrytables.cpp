// The standings and the fairness report over seeded leagues and groups of 2
// to 60 courts and 4 to 120 entries with names up to 25 + 25 letters and
// 50-character titles: nothing overprints, leaves its cell or the printable
// area, and every standings cell sits in its own column.
#include "../reports/layoutchecks.h"
#include "engine_fixture.h"
#include "export/fairnessreport.h"
#include "export/fairnesswindow.h"
#include "export/playerdates.h"
#include "export/playerschedule.h"
#include "reports/standingsreport.h"
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QtTest>
#include <random>

namespace {

constexpr int Seeds = 12;

struct Seeded {
    std::mt19937 gen;
    bool longest = false;   // every name 25 + 25 letters, every title 50
    explicit Seeded(unsigned seed) : gen(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); }
    // A word of `n` letters, wide ones (W, M) as likely as narrow ones.
    QString word(int n)
    {
        static const QString letters = "WMmwaeilnorstuABCDEFGHJK";
        QString w;
        for (int i = 0; i < n; ++i)
            w += letters[pick(0, int(letters.size()) - 1)];
        return w;
    }
    // Half the names as long as the fields allow.
    SeasonPerson person(int id)
    {
        const bool full = longest || pick(0, 1);
        return SeasonPerson{id, word(full ? 25 : pick(2, 25)), word(full ? 25 : pick(2, 25)), {}};
    }
    QString title()
    {
        if (!longest && pick(0, 1))
            return "Tuesday Doubles";
        QString t;
        while (t.size() < 50)
            t += word(pick(2, 9)) + ' ';
        return t.left(50);
    }
};

// A doubles group (four to a court, who met whom counted) or a doubles
// league (teams, two to a court) with its rows for a few dates.
Season seededSeason(Seeded& s, int courts, int entries, bool league)
{
    Season season;
    season.groupId = 1;
    season.name = s.title();
    season.recordKind = league ? RecordKind::League : RecordKind::Group;
    season.matchType = MatchType::Doubles;
    const int perCourt = league ? 2 : 4;
    season.playersPerSession = qMin(courts, entries / perCourt) * perCourt;
    for (int n = 1; n <= entries; ++n) {
        SeasonEntry e;
        e.id = n;
        e.number = n;
        e.player = s.person(100 + n);
        if (league)
            e.partner = s.person(1000 + n);
        season.indexOfEntry.insert(e.id, n - 1);
        season.entries << e;
    }
    for (int c = 0; c < courts; ++c) {
        season.courtOrder << 51 + c;
        season.courtNames.insert(51 + c, s.pick(0, 3) ? QString("Court %1").arg(c + 1)
                                                      : QString("Riverside Park Court %1").arg(c + 1));
    }
    QVector<int> ids(entries);
    std::iota(ids.begin(), ids.end(), 1);
    for (int d = 0, dates = s.pick(2, 5); d < dates; ++d) {
        const QDate date = QDate(2027, 1, 5).addDays(7 * d);
        season.dates << date;
        std::shuffle(ids.begin(), ids.end(), s.gen);
        for (int c = 0; c < courts && (c + 1) * perCourt <= entries; ++c) {
            CourtSession session{date, 51 + c, ids.mid(c * perCourt, perCourt), {ids[c * perCourt]}};
            for (int id : session.entryIds)
                season.rows << SeasonRow{0, id, date, 0, session.homeIds.contains(id), 0, {}, 51 + c, 0, 0};
            season.sessions << session;
        }
    }
    return season;
}

QVector<StandingsRow> standingsOf(const Season& season, Seeded& s)
{
    QVector<StandingsRow> rows;
    for (const SeasonEntry& e : season.entries)
        rows << StandingsRow{e.number, e.number, e.fullName(), s.pick(0, 99), s.pick(0, 99)};
    return rows;
}

// VANTREL_LAYOUT_PDFS names a folder to keep each case's pages in as a PDF.
void keepPdf(const QVector<ReportPage>& pages, const QString& name)
{
    const QString folder = qEnvironmentVariable("VANTREL_LAYOUT_PDFS");
    if (!folder.isEmpty())
        TReportSystem().savePdf(pages, QDir(folder).filePath(name + ".pdf"));
}

// Overprints, texts off the printable area or over their cell's lines.
QStringList faults(const QVector<ReportPage>& pages, const QRectF& printable, int* cells)
{
    QStringList found;
    for (int i = 0; i < pages.size(); ++i)
        for (const QString& f : LayoutChecks::overlaps(pages[i]) + LayoutChecks::outside(pages[i], printable) +
                                    LayoutChecks::outsideCells(pages[i], cells))
            found << QString("page %1: %2").arg(i + 1).arg(f);
    return found;
}

// The standings' texts by column, every page's in order, found under the
// column headings; a table text in no column is a fault.
QVector<QStringList> standingsColumns(const QVector<ReportPage>& pages, QStringList* faults)
{
    const QStringList headings{"Rank", "Entry #", "Name", "Win", "Loss"};
    QVector<QStringList> columns(headings.size());
    for (const ReportPage& page : pages) {
        const QVector<TextOp> texts = page.texts();
        QVector<QRectF> cells;
        for (const QString& h : headings) {
            const auto it = std::find_if(texts.cbegin(), texts.cend(), [&](const TextOp& t) { return t.text == h; });
            const std::optional<QRectF> cell = it == texts.cend() ? std::nullopt : LayoutChecks::cellAround(page, *it);
            if (!cell) {
                *faults << "no column under " + h;
                return columns;
            }
            cells << *cell;
        }
        double tableBottom = 0;
        for (const LineOp& l : page.lines())
            tableBottom = qMax(tableBottom, qMax(l.y1, l.y2));
        for (const TextOp& t : texts) {
            const QRectF box = LayoutChecks::inkBox(t);
            if (box.top() < cells[0].bottom() || box.bottom() > tableBottom)
                continue;   // above the table's first row or below the table
            const auto in = std::find_if(cells.cbegin(), cells.cend(), [&](const QRectF& c) {
                return box.left() >= c.left() && box.right() <= c.right();
            });
            if (in == cells.cend())
                *faults << "in no column: " + LayoutChecks::describe(t);
            else
                columns[int(in - cells.cbegin())] << t.text;
        }
    }
    return columns;
}

QString withoutBlanks(QString s)
{
    return s.remove(' ');
}

}   // namespace

class TestEntryTables : public QObject {
    Q_OBJECT
private slots:
    void pagesHoldUpOverSeededSeasons();
    void windowKeepsItsTableBesideAllPairs();
    void playerSchedulesHoldUpOverSeededSeasons();
};

void TestEntryTables::pagesHoldUpOverSeededSeasons()
{
    for (unsigned seed = 1; seed <= Seeds; ++seed) {
        // The first three as clubs reported them: 120 entries on 20 and on
        // 60 courts, and a league of 7 teams, all with the longest names.
        Seeded s(seed);
        s.longest = seed <= 3;
        const int courts = seed <= 3 ? QVector<int>{20, 60, 3}[seed - 1] : s.pick(2, 60);
        const int entries = seed <= 3 ? QVector<int>{120, 120, 7}[seed - 1] : s.pick(4, 120);
        const Season season = seededSeason(s, courts, entries, seed == 3 || s.pick(0, 1));
        const QString context = QString("seed %1, %2 courts, %3 entries").arg(seed).arg(courts).arg(entries);

        TFairnessReport fairness;
        fairness.setSeason(season);
        const QVector<ReportPage> fairnessPages = fairness.rsFairness.generate();
        keepPdf(fairnessPages, QString("fairness-%1").arg(seed));
        int cells = 0;
        QStringList found = faults(fairnessPages, QRectF(0.5, 0.5, 7.5, 10.0), &cells);
        // Every entry's number, name and figures, then its count on each court.
        QVERIFY2(cells >= entries * (6 + courts), qPrintable(context));
        QCOMPARE(fairness.rsFairness.pageHeading, season.name);

        TStandingsReport standings;
        const QVector<StandingsRow> rows = standingsOf(season, s);
        standings.setStandings(season.name, rows);
        const QVector<ReportPage> standingsPages = standings.rsStandings.generate();
        keepPdf(standingsPages, QString("standings-%1").arg(seed));
        found += faults(standingsPages, QRectF(0.5, 0.25, 7.5, 10.5), &cells);
        const QVector<QStringList> columns = standingsColumns(standingsPages, &found);
        QVERIFY2(found.isEmpty(), qPrintable(context + ": " + found.mid(0, 3).join("; ")));
        QStringList ranks, numbers, names, wins, losses;
        for (const StandingsRow& r : rows) {
            ranks << QString::number(r.rank);
            numbers << QString::number(r.number);
            names << r.name;
            wins << QString::number(r.wins);
            losses << QString::number(r.losses);
        }
        QCOMPARE(columns, (QVector<QStringList>{ranks, numbers, columns[2], wins, losses}));
        QCOMPARE(withoutBlanks(columns[2].join(QString())), withoutBlanks(names.join(QString())));
        QCOMPARE(standings.rsStandings.pageHeading, season.name);
    }
}

// Thousands of pairs that never met scroll in a few lines under the table.
void TestEntryTables::windowKeepsItsTableBesideAllPairs()
{
    EngineFixture fx;
    GroupShape shape;
    shape.entries = 120;
    shape.perSession = 8;
    shape.courts = 2;
    shape.type = 2;
    const int group = fx.addGroup(shape);
    const QVector<int> ids = fx.entryIds(group);
    const QVector<int> courts = {fx.scalar("SELECT MIN(COURTID) FROM COURTSLT WHERE GROUPID = ?", {group}).toInt(),
                                 fx.scalar("SELECT MAX(COURTID) FROM COURTSLT WHERE GROUPID = ?", {group}).toInt()};
    for (int i = 0; i < 8; ++i)
        fx.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, SLOTCODE) VALUES (?, '2000-03-14', ?, ?)",
                {ids[i], courts[i / 4], i + 1});

    TFairnessWindow window(fx.db(), group);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* pairs = window.findChild<QLabel*>("lblpairs");
    QVERIFY(pairs);
    QVERIFY2(pairs->text().contains("Never met, 7128 pairs: 1 and 5; 1 and 6;"), qPrintable(pairs->text().left(200)));
    QVERIFY(pairs->text().endsWith("119 and 120"));   // all of them, on screen
    const QScrollArea* area = qobject_cast<QScrollArea*>(pairs->parentWidget()->parentWidget());
    QVERIFY(area && area->height() <= 10 * pairs->fontMetrics().lineSpacing());
    QVERIFY(window.table()->height() >= 8 * window.table()->verticalHeader()->defaultSectionSize());
}

// One player's printed schedule: every date of theirs in a row of its own
// with court, partners, opponents and ball mark, then their days off.
void TestEntryTables::playerSchedulesHoldUpOverSeededSeasons()
{
    for (unsigned seed = 1; seed <= Seeds; ++seed) {
        Seeded s(seed);
        s.longest = seed <= 3;
        const bool league = s.pick(0, 1);
        Season season = seededSeason(s, s.pick(1, 8), s.pick(4, 40), league);
        season.bringBallsOn = seed % 2;
        const CourtSession& played = season.sessions[s.pick(0, int(season.sessions.size()) - 1)];
        const SeasonEntry& who = *season.entry(played.entryIds.first());
        season.playerDaysOff[who.player.id] = {season.dates.first(), season.dates.last()};
        const QString context = QString("seed %1, %2").arg(seed).arg(who.fullName());

        TPlayerSchedule report(season, who.player.id);
        const QVector<ReportPage> pages = report.rsPlayer.generate();
        keepPdf(pages, QString("player-%1").arg(seed));
        const QStringList found = faults(pages, QRectF(0.5, 0.5, 7.5, 10.0), nullptr);
        QVERIFY2(found.isEmpty(), qPrintable(context + ": " + found.mid(0, 3).join("; ")));
        QString all;
        for (const ReportPage& page : pages)
            for (const TextOp& t : page.texts())
                all += t.text;
        all = withoutBlanks(all).remove(',');
        auto names = [&](const QVector<int>& ids) {
            QString n;
            for (int id : ids)
                n += season.entry(id)->fullName();
            return withoutBlanks(n);
        };
        const QVector<PlayerDate> dates = playerDates(season, who.player.id);
        QVERIFY2(!dates.isEmpty(), qPrintable(context));
        qsizetype from = 0;
        for (const PlayerDate& d : dates) {
            const QString row =
                withoutBlanks(QLocale::c().toString(d.date, "ddd d MMM yyyy") + season.courtName(d.courtId)) +
                names(d.partners) + names(d.opponents);
            from = all.indexOf(row, from);
            QVERIFY2(from >= 0, qPrintable(context + ": no row " + row));
        }
        QVERIFY2(all.contains("Daysoff" + withoutBlanks(QLocale::c().toString(season.dates.first(), "ddd d MMM yyyy"))),
                 qPrintable(context));
        QCOMPARE(report.rsPlayer.pageHeading, season.name + " - " + who.player.fullName());
    }
}

QTEST_MAIN(TestEntryTables)
#include "tst_entrytables.moc"
