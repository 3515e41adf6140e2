// Groups and leagues of the sizes clubs have, laid out on Letter paper:
// nothing may overprint, run over a cell's box lines or off the paper.
#include "data/settings.h"
#include "data/table.h"
#include "layoutchecks.h"
#include "reportpdf_helpers.h"
#include "reportengine/paperchoice.h"
#include "reports/playerlabels.h"
#include "reports/printedschedule.h"
#include "reports/printformats.h"
#include "reports/schedulereport.h"
#include "reports/scheduletext.h"
#include "reportsfixture.h"
#include <QProcess>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QtTest>
#include <random>

namespace {
const QDate day1(2027, 1, 5);
// Inside the schedule's page margins.
const QRectF printable(0.5, 0.25, 7.5, 10.5);

// `dates` weekly dates; on each, `courts` x `perCourt` entries play, taken
// in a rotation that mixes one- and two-digit numbers; the first on each
// court is home.
void season(ReportsFixture& fx, const ReportsFixture::Built& b, int dates, int perCourt)
{
    const int entries = int(b.entries.size());
    const int playing = int(b.courts.size()) * perCourt;
    fx.db().startTransaction();
    for (int d = 0; d < dates; ++d)
        for (int i = 0; i < playing; ++i) {
            const int n = (d * 7 + i * 13) % entries;   // 13 is prime to the sizes used, so all differ
            fx.addScheduleRow(b.entries[n], day1.addDays(7 * d), b.courts[i / perCourt], n + 1, i % perCourt == 0);
        }
    fx.db().commit();
}

ReportsFixture::GroupShape groupOf(int matchType, bool bringBalls)
{
    ReportsFixture::GroupShape g;
    g.type = matchType;
    g.bbon = bringBalls;
    return g;
}

// A doubles group of 44 entries on 10 courts: 40 play on each date, 4 sit out.
ReportsFixture::Built tenDoublesCourtsSeason(ReportsFixture& fx, int dates)
{
    const auto b = fx.buildGroup(groupOf(2, true), 44, 10);
    season(fx, b, dates, 4);
    return b;
}

// VANTREL_LAYOUT_PDFS names a folder to keep each case's pages in as a
// PDF, to look at them.
void keepPdf(const QVector<ReportPage>& pages, const QString& suffix = {})
{
    const QString folder = qEnvironmentVariable("VANTREL_LAYOUT_PDFS");
    if (!folder.isEmpty())
        TReportSystem().savePdf(pages, QDir(folder).filePath(QString(QTest::currentTestFunction()) + suffix + ".pdf"));
}

// Every check at once, page by page; returns how many texts sat in cells.
int checkPages(const QVector<ReportPage>& pages, const QRectF& area = printable)
{
    keepPdf(pages);
    int cells = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const QString page = QString("page %1: ").arg(i + 1);
        const QStringList overprinted = LayoutChecks::overlaps(pages[i]);
        const QStringList offPaper = LayoutChecks::outside(pages[i], area);
        const QStringList overLines = LayoutChecks::outsideCells(pages[i], &cells);
        [&] {
            QVERIFY2(overprinted.isEmpty(), qPrintable(page + overprinted.mid(0, 3).join("; ")));
            QVERIFY2(offPaper.isEmpty(), qPrintable(page + offPaper.mid(0, 3).join("; ")));
            QVERIFY2(overLines.isEmpty(), qPrintable(page + overLines.mid(0, 3).join("; ")));
        }();
    }
    return cells;
}

QString allText(const QVector<ReportPage>& pages)
{
    QString out;
    for (const ReportPage& p : pages)
        out += textsOf(p).join(QChar('|')) + QChar('|');
    return out;
}

// --- the seeded grid cases ---

// Two neighbouring lines of one cell may part only where the text allows:
// at a blank, or anywhere but inside a number such as "81" or "(49)".
bool partsBetweenEntries(const QString& text, const QStringList& lines, bool wordsOnly)
{
    auto inNumber = [](QChar c) { return c.isDigit() || c == '(' || c == ')'; };
    int at = 0;   // position in `text`
    for (int i = 0; i < lines.size(); ++i) {
        for (QChar c : lines[i]) {
            while (at < text.size() && text[at] == ' ' && c != ' ')
                ++at;
            if (at >= text.size() || text[at] != c)
                return false;
            ++at;
        }
        if (i + 1 == lines.size() || (at < text.size() && text[at] == ' '))
            continue;
        if (wordsOnly || (at > 0 && at < text.size() && inNumber(text[at - 1]) && inNumber(text[at])))
            return false;
    }
    return at == text.size() || text.mid(at).trimmed().isEmpty();
}

// The texts inside `box` (by their middle), top to bottom.
QStringList linesIn(const QVector<TextOp>& texts, const QRectF& box)
{
    QVector<TextOp> in;
    for (const TextOp& t : texts)
        if (box.contains(LayoutChecks::inkBox(t).center()))
            in << t;
    std::sort(in.begin(), in.end(), [](const TextOp& a, const TextOp& b) { return a.baseline < b.baseline; });
    QStringList lines;
    for (const TextOp& t : in)
        lines << t.text;
    return lines;
}

// Every band on the page: its heading names each column whole, and every
// date's cell under a column holds that court's entries, wrapped only
// between entries. Returns the cells found.
int checkGridCells(const ReportPage& page, const PrintedSchedule& schedule)
{
    const QVector<TextOp> texts = page.texts();
    QHash<QString, int> columnOf, rowOf;
    for (int c = 0; c < schedule.courts.size(); ++c)
        columnOf.insert(schedule.courts[c].name, c);
    columnOf.insert("BYE", int(schedule.courts.size()));
    for (int r = 0; r < schedule.grid.size(); ++r)
        rowOf.insert(ScheduleText::gridDate(schedule.grid[r].date), r);
    QVector<QRectF> headings;
    for (const TextOp& t : texts)
        if (t.text == "DATE" && t.font.bold)
            headings << *LayoutChecks::cellAround(page, t);
    int cells = 0;
    for (int h = 0; h < headings.size(); ++h) {
        const double bandBottom = h + 1 < headings.size() ? headings[h + 1].top() : 1e9;
        QMap<double, QRectF> columns;   // by left edge, the heading cells after DATE
        for (const TextOp& t : texts)
            if (t.font.bold &&
                qAbs(LayoutChecks::inkBox(t).center().y() - headings[h].center().y()) < headings[h].height() / 2 &&
                t.x > headings[h].right())
                columns.insert(LayoutChecks::cellAround(page, t)->left(), *LayoutChecks::cellAround(page, t));
        QVector<int> columnIndex;
        for (const QRectF& column : std::as_const(columns)) {
            const QStringList name = linesIn(texts, column);
            const QString joined = name.join(' ');
            [&] { QVERIFY2(columnOf.contains(joined), qPrintable("heading " + name.join('|'))); }();
            [&] { QVERIFY2(partsBetweenEntries(joined, name, true), qPrintable("heading " + name.join('|'))); }();
            if (QTest::currentTestFailed())
                return cells;
            columnIndex << columnOf.value(joined, -1);
        }
        for (const TextOp& t : texts) {
            const double y = LayoutChecks::inkBox(t).center().y();
            if (!rowOf.contains(t.text) || t.x > headings[h].right() || y < headings[h].bottom() || y > bandBottom)
                continue;
            const QRectF row = *LayoutChecks::cellAround(page, t);
            const PrintedSchedule::GridRow& expected = schedule.grid[rowOf.value(t.text)];
            int i = 0;
            for (const QRectF& column : std::as_const(columns)) {
                const int c = columnIndex[i++];
                const QString text = c < expected.courts.size() ? expected.courts[c] : expected.byes;
                const QStringList lines =
                    linesIn(texts, QRectF(column.left(), row.top(), column.width(), row.height()));
                [&] {
                    QVERIFY2(partsBetweenEntries(text, lines, false),
                             qPrintable(QString("%1 column %2: \"%3\" printed as %4")
                                            .arg(t.text)
                                            .arg(c)
                                            .arg(text, lines.join('|'))));
                }();
                if (QTest::currentTestFailed())
                    return cells;
                ++cells;
            }
        }
    }
    return cells;
}

const QString longName = "Wolfgang-Maximilian Wyatt";   // 25 characters
const QString wide25(25, QChar('W'));
}   // namespace

class TestReportLayout : public QObject {
    Q_OBJECT
private slots:
    void checksCatchOverprinting();
    void printFormats_data();
    void printFormats();
    void breakPieces();
    void sixteenSinglesOnTwoCourts();
    void sixtyOnTwoCourts();
    void tenDoublesCourts();
    void doublesLeagueWithLongNames();
    void longRosterNamesWrapInTheirColumn();
    void groupWithoutPairingSeparatesCodes();
    void wideFooterStopsBeforePrintedOn();
    void rosterPhonesWithoutAreaCode();
    void labelsWithLongNames();
    void pdfOfTenDoublesCourts();
    void seededSchedules();
};

// The checks themselves must fail on the faults they are for.
void TestReportLayout::checksCatchOverprinting()
{
    ReportCanvas c;
    c.clearTabs();
    c.setTab(0.5, ReportCanvas::Justify::Center, 0.6, 0, ReportCanvas::BoxAll, 0);
    c.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Center, 0.6, 0, ReportCanvas::BoxAll, 0);
    c.print("\t39&42 v. (15)&18\t43&23");
    c.newLine();
    c.printLeft("off the paper", 7.9);
    const ReportPage& page = c.pages().first();
    QVERIFY(!LayoutChecks::overlaps(page).isEmpty());
    int cells = 0;
    QCOMPARE(LayoutChecks::outsideCells(page, &cells).size(), 1);
    QCOMPARE(cells, 2);
    QCOMPARE(LayoutChecks::outside(page, printable).size(), 2);   // the wide cell starts left of 0.5 too
}

void TestReportLayout::printFormats_data()
{
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QString>("expected");
    using namespace PrintFormats;
    QTest::newRow("zip, no last four") << zipCode("62704-") << "62704";
    QTest::newRow("zip, blank last four") << zipCode("62704-    ") << "62704";
    QTest::newRow("zip, full") << zipCode("62704-1234") << "62704-1234";
    QTest::newRow("zip, empty") << zipCode("") << "";
    QTest::newRow("phone, no area code") << phone("(   )123-4567") << "123-4567";
    QTest::newRow("phone, empty parentheses") << phone("()123-4567") << "123-4567";
    QTest::newRow("phone, full") << phone("(217)555-0100") << "(217)555-0100";
    QTest::newRow("phone, nothing typed") << phone("(   )   -    ") << "";
    QTest::newRow("phone, free text") << phone("555 0100") << "555 0100";
}

void TestReportLayout::printFormats()
{
    QFETCH(QString, printed);
    QFETCH(QString, expected);
    QCOMPARE(printed, expected);
}

void TestReportLayout::breakPieces()
{
    using ScheduleText::breakPieces;
    QCOMPARE(breakPieces("39&42 v. (15)&18"), (QStringList{"39&", "42 v.", " (15)&", "18"}));
    QCOMPARE(breakPieces("1;2;13"), (QStringList{"1;", "2;", "13"}));
    QCOMPARE(breakPieces("(1) 2 3"), (QStringList{"(1)", " 2", " 3"}));
    QCOMPARE(breakPieces("Court 1"), (QStringList{"Court", " 1"}));
    QCOMPARE(breakPieces(""), QStringList{});
    // A side without an opponent keeps its " v. ".
    QCOMPARE(breakPieces("7 v. ").join(QString()), QString("7 v. "));
}

void TestReportLayout::sixteenSinglesOnTwoCourts()
{
    ReportsFixture fx;
    const auto b = fx.buildGroup(groupOf(1, true), 16, 2);
    season(fx, b, 12, 2);
    const auto pages = layoutSchedule(fx, b.groupId);
    QVERIFY(checkPages(pages) > 12 * 4);
    // Each date's twelve byes are all there, in order, across the cell's lines.
    const ReportPage& p = pages.first();
    const TextOp* date = findText(p, "Tue 01/05/27");
    QVERIFY(date);
    const auto row = LayoutChecks::cellAround(p, *date);
    QVERIFY(row);
    // The row's last text, right of both courts' matches, is its list of byes.
    QVector<TextOp> inRow;
    for (const TextOp& t : p.texts())
        if (t.baseline > row->top() && t.baseline < row->bottom())
            inRow << t;
    std::sort(inRow.begin(), inRow.end(), [](const TextOp& a, const TextOp& b) { return a.x < b.x; });
    QCOMPARE(inRow.size(), 4);
    const QString byes = inRow.last().text;
    QList<int> sitOut;   // the season's rotation on its first date: 1, 14, 11 and 8 play
    for (int n = 1; n <= 16; ++n)
        if (!QList<int>{1, 14, 11, 8}.contains(n))
            sitOut << n;
    QCOMPARE(byes, ScheduleText::byeList(sitOut));
    QCOMPARE(inRow.last().font.size, 10.0);   // the courts lent the list their spare room
}

void TestReportLayout::sixtyOnTwoCourts()
{
    ReportsFixture fx;
    const auto b = fx.buildGroup({}, 60, 2);
    season(fx, b, 10, 2);
    const auto pages = layoutSchedule(fx, b.groupId);
    QVERIFY(pages.size() >= 2);
    QVERIFY(pages.size() <= 3);   // the roster's page and a little more, not a page for two dates
    QVERIFY(checkPages(pages) > 10 * 3);
    // Every date is printed once, and each page of the grid has its heading.
    const QString text = allText(pages);
    for (int d = 0; d < 10; ++d)
        QCOMPARE(text.count(ScheduleText::gridDate(day1.addDays(7 * d))), 1);
    for (const ReportPage& p : pages)
        if (findText(p, "BYE") || p.texts().size() > 50)
            QVERIFY(findText(p, "DATE"));
    // Rows stay above the first page's bottom limit.
    for (const TextOp& t : pages.first().texts())
        if (!t.text.startsWith("Printed On") && t.baseline > 9.0 && t.baseline < 10.5)   // not the page marks
            QVERIFY2(t.baseline < 9.5, qPrintable(t.text));
}

void TestReportLayout::tenDoublesCourts()
{
    ReportsFixture fx;
    const auto b = tenDoublesCourtsSeason(fx, 60);
    const auto pages = layoutSchedule(fx, b.groupId);
    QVERIFY(pages.size() >= 3);
    QVERIFY(checkPages(pages) > 60 * 12);
    // Continuation pages start with the heading, courts in order.
    for (int i = 1; i < pages.size(); ++i) {
        if (!findText(pages[i], "BYE"))
            continue;   // the NOTE line alone
        QCOMPARE(pages[i].texts().first().text, QString("DATE"));
        const TextOp* c1 = findText(pages[i], "Court 1");
        const TextOp* c10 = findText(pages[i], "Court 10");
        QVERIFY(c1 && c10 && c1->x < c10->x);
    }
    // A match too wide for its 0.6 inch cell wraps after " v.", readable.
    // The courts have no room to lend: the byes wrap after a ";" in their 0.5 inch cell.
    bool wrapped = false, byesWrapped = false;
    for (const TextOp& t : pages[1].texts()) {
        QVERIFY2(t.font.size >= 8.0, qPrintable(t.text));
        wrapped = wrapped || (t.text.endsWith(" v.") && t.x > 1.25);
        byesWrapped = byesWrapped || (t.text.endsWith(";") && t.x > 7.25);
    }
    QVERIFY(wrapped);
    QVERIFY(byesWrapped);
}

void TestReportLayout::doublesLeagueWithLongNames()
{
    ReportsFixture fx;
    ReportsFixture::GroupShape g;
    g.rtype = 2;
    g.type = 2;
    const auto b = fx.buildGroup(g, 0, 3);
    QVector<int> teams;
    for (int t = 1; t <= 7; ++t) {
        const int p1 = fx.addPlayer(wide25, longName, "(217)555-0100");
        const int p2 = fx.addPlayer(longName, wide25, "(217)555-0200");
        teams << fx.addEntry(b.groupId, p1, t, p2);
    }
    for (int d = 0; d < 7; ++d)
        for (int c = 0; c < 3; ++c) {
            fx.addScheduleRow(teams[(d + 2 * c) % 7], day1.addDays(7 * d), b.courts[c], (d + 2 * c) % 7 + 1);
            fx.addScheduleRow(teams[(d + 2 * c + 1) % 7], day1.addDays(7 * d), b.courts[c], (d + 2 * c + 1) % 7 + 1);
        }
    const auto pages = layoutSchedule(fx, b.groupId);
    checkPages(pages);
    // Each team's partner and phone are printed: on a second line indented under the first.
    const ReportPage& p = pages.first();
    QCOMPARE(allText(pages).count("555-0200"), 7);
    for (const TextOp& t : p.texts())
        if (t.text.startsWith("/ ")) {
            QCOMPARE(t.x, 1.25 + 0.25);
            QVERIFY(t.text.endsWith("(217)555-0200"));
        }
}

void TestReportLayout::longRosterNamesWrapInTheirColumn()
{
    ReportsFixture fx;
    const auto b = fx.buildGroup({}, 0, 1);
    QVector<int> entries;
    for (int n = 1; n <= 5; ++n)
        entries << fx.addEntry(b.groupId, fx.addPlayer(wide25, longName, "(217)555-0100"), n);
    for (int n = 0; n < 5; ++n)
        fx.addScheduleRow(entries[n], day1.addDays(7 * (n / 2)), b.courts[0], n + 1);
    const auto pages = layoutSchedule(fx, b.groupId);
    checkPages(pages);
    // The second column's entries keep to their own column.
    for (const TextOp& t : pages.first().texts())
        if (t.x < 4.25 && (t.text.contains("WWW") || t.text.contains("555")))
            QVERIFY2(t.x + t.width <= 4.25, qPrintable(t.text));
    QCOMPARE(allText(pages).count("555-0100"), 5);
}

void TestReportLayout::groupWithoutPairingSeparatesCodes()
{
    ReportsFixture fx;
    const auto b = fx.buildGroup(groupOf(0, true), 13, 1);
    for (int n : {10, 11, 12, 13})
        fx.addScheduleRow(b.entries[n - 1], day1, b.courts[0], n, n == 10);
    const auto pages = layoutSchedule(fx, b.groupId);
    QVERIFY(findText(pages.first(), "(10) 11 12 13"));
    checkPages(pages);
}

void TestReportLayout::wideFooterStopsBeforePrintedOn()
{
    ReportsFixture fx;
    setFooterText(QString(51, QChar('W')));
    const auto b = fx.buildGroup({}, 2, 1);
    season(fx, b, 1, 2);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    setFooterText(QString());
    const TextOp* printed = findText(page, ScheduleText::printedOn(QDate::currentDate()));
    QVERIFY(printed);
    const TextOp* footer = nullptr;
    for (const TextOp& t : page.texts())
        if (t.text.startsWith("WWW"))
            footer = &t;
    QVERIFY(footer);
    QVERIFY(footer->text.endsWith(QChar(0x2026)));   // shows that it was cut
    QVERIFY(footer->x + footer->width < printed->x - 0.1);
    checkPages({page});
}

void TestReportLayout::rosterPhonesWithoutAreaCode()
{
    ReportsFixture fx;
    const auto b = fx.buildGroup({}, 0, 1);
    const int e1 = fx.addEntry(b.groupId, fx.addPlayer("Ann", "Lee", "(   )123-4567"), 1);
    const int e2 = fx.addEntry(b.groupId, fx.addPlayer("Bea", "Cole", "(217)555-0100"), 2);
    fx.addScheduleRow(e1, day1, b.courts[0], 1);
    fx.addScheduleRow(e2, day1, b.courts[0], 2);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    QVERIFY2(findText(page, "1. Ann Lee 123-4567"), qPrintable(textsOf(page).join('|')));
    QVERIFY(findText(page, "2. Bea Cole (217)555-0100"));
    // The stored number is left as it was.
    Table players(fx.db(), "PLAYERS.db");
    players.open();
    QCOMPARE(players.asString("PHONE1"), QString("(   )123-4567"));
}

void TestReportLayout::labelsWithLongNames()
{
    ReportsFixture fx;
    for (int i = 0; i < 31; ++i)
        fx.addPlayer(wide25, i % 2 ? wide25 : longName, {}, "12345 Wwwwwwwwwww Boulevard",
                     i % 3 ? "" : "Apartment 1200 West Tower", "Wwwwwwwwwwwwwwwwwwwwwwwww", "IL",
                     i % 2 ? "62704-" : "62704-1234");
    Table players(fx.db(), "PLAYERS.db");
    players.setIndexName("lastname");
    players.open();
    TPlayerLabels labels(players);
    const auto pages = labels.rsLabels.generate();
    QCOMPARE(pages.size(), 2);
    keepPdf(pages);
    const TLabelShell& shell = labels.lsPlayers;
    for (const ReportPage& page : pages) {
        QVERIFY2(LayoutChecks::overlaps(page).isEmpty(), qPrintable(LayoutChecks::overlaps(page).join("; ")));
        QVERIFY(LayoutChecks::outside(page, QRectF(0.25, 0.25, 8.0, 10.5)).isEmpty());
        for (const TextOp& t : page.texts()) {
            if (t.text.isEmpty())
                continue;
            // Inside the label the text starts in, and readable.
            const int column = qBound(1, int((t.x - shell.SpacingLeft) / shell.SpacingWidth) + 1, 3);
            const int row = qBound(1, int((t.baseline - shell.SpacingTop) / shell.SpacingHeight) + 1, 10);
            const QRectF label(shell.labelLeft(column), shell.labelTop(row), shell.LabelWidth, shell.LabelHeight);
            QVERIFY2(label.contains(LayoutChecks::inkBox(t)), qPrintable(LayoutChecks::describe(t)));
            QVERIFY(t.font.size >= 8.0);
        }
    }
    const QStringList first = textsOf(pages.first());
    QVERIFY(first.first().endsWith(QChar(0x2026)));   // the name is cut only after it was set smaller
    QVERIFY(first.contains(longName));                // its last name goes whole onto the label's spare line
    QVERIFY(first.contains("12345 Wwwwwwwwwww Boulevard"));
    // A long city is cut; the state and zip code stay whole.
    auto anyEndsWith = [&first](const QString& tail) {
        return std::any_of(first.begin(), first.end(), [&](const QString& t) { return t.endsWith(tail); });
    };
    QVERIFY(anyEndsWith(QString(QChar(0x2026)) + " IL 62704-1234"));
    QVERIFY(anyEndsWith(QString(QChar(0x2026)) + " IL 62704"));
    QVERIFY(!allText(pages).contains("62704-|"));
}

// The same checks on the PDF as written, through the words' boxes that
// pdftotext reports (points from the top left).
void TestReportLayout::pdfOfTenDoublesCourts()
{
    if (!ReportPdf::toolsAvailable())
        QSKIP("pdftotext is not installed");
    ReportsFixture fx;
    const auto b = tenDoublesCourtsSeason(fx, 40);
    TScheduleReport report(fx.db());
    const QString file = fx.path("doubles.pdf");
    report.rsSchedule.setPresetDestination(TReportSystem::Destination::PdfFile, file);
    QVERIFY(report.PrintSchedule(b.groupId));

    QProcess p;
    p.start("pdftotext", {"-bbox", file, "-"});
    QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression pageRe("<page [^>]*>(.*?)</page>", QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression wordRe(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    // Column lines of the grid as laid out, in points.
    QList<double> columnLines;
    for (const LineOp& l : report.rsSchedule.pages().last().lines())
        if (l.x1 == l.x2 && !columnLines.contains(l.x1 * 72))
            columnLines << l.x1 * 72;
    QCOMPARE(columnLines.size(), 13);
    int pages = 0, headed = 0, gridWords = 0;
    for (auto pm = pageRe.globalMatch(html); pm.hasNext();) {
        ++pages;
        struct Word {
            QRectF box;
            QString text;
        };
        QVector<Word> words;
        for (auto wm = wordRe.globalMatch(pm.next().captured(1)); wm.hasNext();) {
            const auto m = wm.next();
            words << Word{QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                          m.captured(5)};
        }
        // The roster's page has no grid; every page with one starts it with its heading.
        double gridTop = 11 * 72, gridBottom = 10.6 * 72;   // the page marks lie below
        for (const Word& w : words) {
            if (w.text == "DATE")
                gridTop = w.box.top();
            if (w.text == "NOTE:")
                gridBottom = w.box.top();
        }
        headed += gridTop < 11 * 72 ? 1 : 0;
        for (int i = 0; i < words.size(); ++i) {
            const QRectF& a = words[i].box;
            QVERIFY2(a.left() >= 36 - 0.5 && a.right() <= 576 + 0.5 && a.top() >= 18 - 0.5 && a.bottom() <= 774 + 0.5,
                     qPrintable(words[i].text));
            for (int j = i + 1; j < words.size(); ++j) {
                const QRectF& b2 = words[j].box;
                // Boxes of neighbouring lines may touch by a fraction of a point.
                const bool apart = a.right() <= b2.left() + 0.3 || b2.right() <= a.left() + 0.3 ||
                                   a.bottom() <= b2.top() + 0.6 || b2.bottom() <= a.top() + 0.6;
                QVERIFY2(apart, qPrintable(words[i].text + " overlaps " + words[j].text));
            }
            if (a.top() >= gridTop - 1 && a.bottom() <= gridBottom) {
                ++gridWords;
                for (double x : columnLines)
                    QVERIFY2(!(a.left() < x - 0.5 && a.right() > x + 0.5),
                             qPrintable(QString("%1 crosses the line at %2 in").arg(words[i].text).arg(x / 72)));
            }
        }
    }
    QVERIFY(headed >= 2);
    QVERIFY(gridWords > 40 * 12);
}

// Groups from 2 to 250 courts, singles, doubles or unpaired, with long
// titles, court names and notes, on Letter and A4: nothing overprints or
// leaves its cell or the printable area, every cell stands under its
// court's heading with the entries it holds, and no number is split.
void TestReportLayout::seededSchedules()
{
    std::mt19937 random(28);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QList<int> named{10, 20, 60, 125, 250};   // the sizes that went wrong once, then any
    for (int round = 0; round < 14; ++round) {
        const int courts = round < named.size() ? named[round] : 2 + pick(pick(2) ? 20 : 249);
        const int type = round == 1 ? 2 : pick(3);
        const bool a4 = round % 2;
        ReportsFixture fx;   // its own settings: the paper chosen holds for this case only
        PaperChoice::choosePaper(a4 ? PaperChoice::Paper::A4 : PaperChoice::Paper::Letter);
        ReportsFixture::GroupShape g;
        g.type = type;
        g.bbon = pick(2);
        g.name =
            pick(2) ? QString("Wednesday Morning Mixed Doubles Ladder Winter 2027").left(50) : QString(50, QChar('W'));
        g.notes = QStringList{"Bring water and a spare racquet to every session of the season.",
                              "Courts open at 8:45.",
                              QString(30, 'W') + " " + QString(30, 'W'),
                              "Call 555-0100.",
                              "Parking behind the clubhouse.",
                              "Sixth line, never printed."}
                      .join('\n');
        const int perCourt = type == 0 ? 1 + pick(4) : 2 * type;
        const int entries = courts * perCourt + pick(9);
        const auto b = fx.buildGroup(g, entries, courts);
        if (pick(2))   // long court names, numbered so that each is its own
            for (int c = 0; c < courts; ++c) {
                QSqlQuery rename(fx.db().connection());
                rename.exec(QString("UPDATE COURTS SET NAME = 'Riverside Park Court Number %1 Northside End' "
                                    "WHERE COURTID = %2")
                                .arg(c + 1)
                                .arg(b.courts[c]));
            }
        const int dates = 2 + pick(4);
        fx.db().startTransaction();
        for (int d = 0; d < dates; ++d)
            for (int i = 0; i < courts * perCourt; ++i) {
                const int n = (d * 7 + i) % entries;
                fx.addScheduleRow(b.entries[n], day1.addDays(7 * d), b.courts[i / perCourt], n + 1, i % perCourt == 0);
            }
        fx.db().commit();
        const QString where =
            QString("round %1: %2 courts, type %3, %4").arg(round).arg(courts).arg(type).arg(a4 ? "A4" : "Letter");
        const auto pages = layoutSchedule(fx, b.groupId);
        keepPdf(pages, QString("-%1").arg(round));
        const PrintedSchedule schedule = PrintedSchedule::read(fx.db(), b.groupId);
        int cells = 0;
        for (int i = 0; i < pages.size(); ++i) {
            const PaperGeometry sheet = pages[i].paper;
            QCOMPARE(sheet.landscape() ? sheet.height : sheet.width, a4 ? 210 / 25.4 : 8.5);
            const QRectF area(0.5, 0.25, sheet.width - 1.0, sheet.height - 0.5);
            const QString page = where + QString(", page %1: ").arg(i + 1);
            const QStringList overprinted = LayoutChecks::overlaps(pages[i]);
            const QStringList offPaper = LayoutChecks::outside(pages[i], area);
            const QStringList overLines = LayoutChecks::outsideCells(pages[i]);
            QVERIFY2(overprinted.isEmpty(), qPrintable(page + overprinted.mid(0, 3).join("; ")));
            QVERIFY2(offPaper.isEmpty(), qPrintable(page + offPaper.mid(0, 3).join("; ")));
            QVERIFY2(overLines.isEmpty(), qPrintable(page + overLines.mid(0, 3).join("; ")));
            for (const TextOp& t : pages[i].texts())
                QVERIFY2(t.font.size >= 8.0, qPrintable(page + t.text));
            cells += checkGridCells(pages[i], schedule);
            if (QTest::currentTestFailed())
                return;
            QVERIFY(findText(pages[i], QString("Page %1 of %2").arg(i + 1).arg(pages.size())));
        }
        QCOMPARE(cells, dates * (courts + 1));   // every cell found once
        if (courts == 20 && type == 2)
            QVERIFY(pages.first().paper.landscape());   // a date of 20 doubles courts on one row
    }
}

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
