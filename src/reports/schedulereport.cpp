#include "schedulereport.h"
#include "printformats.h"
#include "reportsetup.h"
#include "scheduletext.h"
#include "data/datamodule.h"
#include "data/kinds.h"
#include "data/settings.h"
#include "reportengine/eventpacer.h"
#include "reportengine/fonts.h"
#include "windows/guard.h"
#include <QApplication>
#include <QWidget>

using Justify = ReportCanvas::Justify;
using Person = ScheduleText::Person;

namespace {
constexpr double gridLeft = 0.5;
constexpr double dateWidth = 0.75;
constexpr double courtsWidth = 6.0;
constexpr double byeWidth = 0.5;
constexpr int heavy = -2;              // heading lines 2/100 inch wide
constexpr double cellPadding = 0.02;   // text keeps this far from a cell's box lines
constexpr double gridBottom = 9.5;
constexpr double rosterLeft = 0.5;
constexpr double rosterColumnWidth = 3.75;
constexpr double rosterMargin = 0.02;
constexpr double teamRosterLeft = 1.25;
constexpr double rosterRight = 8.0;
constexpr double hangingIndent = 0.25;   // continuation lines of a roster entry
constexpr double footerGap = 0.25;       // between the footer text and "Printed On:"

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}
}   // namespace

TScheduleReport::TScheduleReport(Database& db, QObject* parent) : QObject(parent), rsSchedule(this), database(db)
{
    setUpReport(rsSchedule, "Schedule", PageMargins{0.5, 0.5, 0.25, 0.25},
                [this](ReportCanvas& r) { rsSchedulePrint(r); });
}

TScheduleReport::~TScheduleReport() = default;

QString TScheduleReport::noScheduleMessage()
{
    return "You must first generate the schedule before printing.";
}

QString TScheduleReport::noCourtsMessage()
{
    return "This group has no courts, so its schedule has no columns to print. "
           "Add its courts in the group editor and generate the schedule again.";
}

QString TScheduleReport::prepare(int id, EventPacer* pacer)
{
    schedule = PrintedSchedule::read(database, id, pacer);
    rsSchedule.documentName = schedule.name;
    switch (schedule.missing) {
    case PrintedSchedule::Missing::Nothing: return {};
    case PrintedSchedule::Missing::Schedule: schedule.courts.clear(); return noScheduleMessage();
    case PrintedSchedule::Missing::Courts: schedule.courts.clear(); return noCourtsMessage();
    }
    return {};
}

bool TScheduleReport::PrintSchedule(int id, QWidget* parent)
{
    QString missing;
    {
        // A big season takes a second or more to read; the windows keep
        // painting meanwhile, and the hourglass says why nothing else starts.
        BusyCursor busy;
        EventPacer pacer;
        missing = prepare(id, &pacer);
    }
    if (!missing.isEmpty()) {
        showErrorBox(parent, missing);
        return false;
    }
    rsSchedule.execute(parent);
    return true;
}

void TScheduleReport::rsSchedulePrint(ReportCanvas& r)
{
    if (schedule.courts.isEmpty())
        return;   // prepare refused this group
    printHeader(r);
    printNotes(r);
    printFooter(r);
    printRoster(r);
    printGrid(r);
}

void TScheduleReport::printHeader(ReportCanvas& r)
{
    r.setTopLimit(0.5);
    r.setFont("Arial", 18);
    r.home();
    r.setYPos(0.5);
    r.printCenter(schedule.name, r.paperWidth() / 2);
    r.setFont("Arial", 12);
    r.newLine();
    r.printCenter(
        ScheduleText::sessionTimes(ScheduleText::timeOf(schedule.startTime), ScheduleText::timeOf(schedule.endTime)),
        r.paperWidth() / 2);
    r.newLine();
    r.newLine();
    // A rule from 0.5 to 8.0 across the top of the current line.
    r.clearTabs();
    r.setTab(0.5, Justify::Left, 7.5, 0, ReportCanvas::BoxTop, 0);
    r.tab(ReportCanvas::LineAsIs, ReportCanvas::LineAsIs, heavy, ReportCanvas::LineAsIs);
}

void TScheduleReport::printNotes(ReportCanvas& r)
{
    r.setFont("Arial", 10);
    r.setPrintStart(0.5);
    r.setPrintEnd(8.0);
    r.printMemo(schedule.notes, 5);
}

void TScheduleReport::printFooter(ReportCanvas& r)
{
    r.setBottomLimit(10.25);
    r.setFont("Arial", 10);
    const QString printed = ScheduleText::printedOn(QDate::currentDate());
    const double room = r.paperWidth() - r.marginRight() - r.marginLeft() - r.textWidth(printed) - footerGap;
    r.printFooter(r.elided(footerText(), room), Justify::Left);
    r.printFooter(printed, Justify::Right);
    r.setBottomLimit(10.0);
    r.setYPos(2.0);
    r.setTopLimitToCurrent();
    r.home();
}

namespace {
// Lines of one roster entry, continuation lines indented; wrapped between
// its pieces when each of them fits a line, else between words.
QStringList rosterLines(const ReportCanvas& r, const QStringList& pieces, double width)
{
    const double rest = width - hangingIndent;
    for (const QString& piece : pieces)
        if (r.textWidth(piece.trimmed()) > rest)
            return r.wrapText(pieces.join(QString()), width, rest);
    return r.wrapPieces(pieces, width, rest);
}

// Writes `lines` from the current line down, the first at `left` and the
// others indented; stays on the last line.
void printRosterLines(ReportCanvas& r, const QStringList& lines, double left)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            r.newLine();
        r.printLeft(lines[i], i == 0 ? left : left + hangingIndent);
    }
}
}   // namespace

// Entries whose text is wider than their place wrap with a hanging indent,
// and an entry that no longer fits on the page starts the next one.
void TScheduleReport::printRoster(ReportCanvas& r)
{
    auto makeRoom = [&r](int lines) {
        if (r.linesLeft() < lines)
            r.newPage();
    };
    const bool teams = ::isDoublesLeague(schedule.recordKind, schedule.matchType);
    auto printed = [](const Person& p) { return Person{p.firstName, p.lastName, PrintFormats::phone(p.phone)}; };
    QVector<QStringList> entries;
    for (const PrintedSchedule::RosterEntry& e : schedule.roster) {
        if (teams)
            entries << ScheduleText::teamRosterPieces(e.slot, printed(e.player),
                                                      e.hasPartner ? printed(e.partner) : Person{});
        else
            entries << QStringList{ScheduleText::rosterEntry(e.slot, printed(e.player))};
    }
    if (teams) {
        for (const QStringList& entry : entries) {
            const QStringList lines = rosterLines(r, entry, rosterRight - teamRosterLeft);
            makeRoom(int(lines.size()));
            printRosterLines(r, lines, teamRosterLeft);
            r.newLine();
        }
    } else {
        // Two entries a line, an empty line between lines.
        const double width = rosterColumnWidth - 2 * rosterMargin;
        for (int i = 0; i < entries.size(); i += 2) {
            const QStringList left = rosterLines(r, entries[i], width);
            const QStringList right = i + 1 < entries.size() ? rosterLines(r, entries[i + 1], width) : QStringList{};
            makeRoom(int(qMax(left.size(), right.size())));
            const double top = r.yPos();
            printRosterLines(r, right, rosterLeft + rosterColumnWidth + rosterMargin);
            const double rightEnd = r.yPos();
            r.setYPos(top);
            printRosterLines(r, left, rosterLeft + rosterMargin);
            r.setYPos(qMax(r.yPos(), rightEnd));
            if (!right.isEmpty()) {
                r.newLine();
                r.newLine();
            }
        }
    }
    r.newLine();
    r.newLine();
}

// DATE 0.75, the courts sharing 6.0 and BYE 0.5, while the texts fit. A
// list of byes wider than its column takes the room the court columns do
// not need, so that a big group's rows stay a line or two high.
QVector<double> TScheduleReport::gridWidths(const ReportCanvas& r, const QVector<QStringList>& rows,
                                            const QStringList& heading) const
{
    const int courts = int(schedule.courts.size());
    double courtWidth = courtsWidth / courts, bye = byeWidth;
    double courtNeed = 0, byeNeed = 0;
    for (const QStringList& row : rows) {
        for (int i = 1; i <= courts; ++i)
            courtNeed = qMax(courtNeed, r.textWidth(row[i]));
        byeNeed = qMax(byeNeed, r.textWidth(row.last()));
    }
    FontSpec bold = r.font();
    bold.bold = true;
    for (int i = 1; i <= courts; ++i)
        courtNeed = qMax(courtNeed, ReportFonts::textWidth(bold, heading[i]));
    courtNeed += 2 * cellPadding;
    byeNeed += 2 * cellPadding;
    if (byeNeed > bye && courtNeed < courtWidth) {
        const double extra = qMin((courtWidth - courtNeed) * courts, byeNeed - bye);
        courtWidth -= extra / courts;
        bye += extra;
    }
    QVector<double> widths{dateWidth};
    for (int i = 0; i < courts; ++i)
        widths << courtWidth;
    widths << bye;
    return widths;
}

void TScheduleReport::setGridColumns(ReportCanvas& r)
{
    r.clearTabs();
    for (int i = 0; i < widths.size(); ++i)
        r.setTab(i == 0 ? gridLeft : ReportCanvas::AfterPrevious, Justify::Center, widths[i], 0, ReportCanvas::BoxAll,
                 0);
}

// A cell whose text is wider than the cell wraps, set smaller if that
// takes fewer lines; the row is as tall as its tallest cell.
TScheduleReport::FittedRow TScheduleReport::fitRow(const ReportCanvas& r, const QStringList& texts) const
{
    FittedRow row{{}, r.lineHeight()};
    for (int i = 0; i < texts.size(); ++i) {
        row.cells << r.fitText(ScheduleText::breakPieces(texts[i]), widths[i] - 2 * cellPadding,
                               ReportCanvas::smallestReadableSize);
        row.height = qMax(row.height, row.cells.last().height());
    }
    return row;
}

void TScheduleReport::printRow(ReportCanvas& r, const FittedRow& row, bool heading)
{
    using C = ReportCanvas;
    const FontSpec normal = r.font();
    r.setRowHeight(row.height);
    for (int i = 0; i < row.cells.size(); ++i) {
        if (!heading)
            r.tab();
        else if (i == 0)
            r.tab(heavy, C::LineAsIs, heavy, heavy);
        else   // the last court and BYE close the heading with heavy lines
            r.tab(C::LineAsIs, i + 2 >= row.cells.size() ? heavy : C::LineAsIs, heavy, heavy);
        r.setFont(normal.family, row.cells[i].size);
        r.setBold(normal.bold);
        r.printColumnLines(row.cells[i].lines);
        r.setFont(normal.family, normal.size);
        r.setBold(normal.bold);
    }
    r.newLine();
}

QStringList TScheduleReport::headingTexts() const
{
    QStringList texts{"DATE"};
    for (const PrintedSchedule::Court& court : schedule.courts)
        texts << court.name;
    texts << "BYE";
    return texts;
}

TScheduleReport::FittedRow TScheduleReport::fitHeading(ReportCanvas& r) const
{
    const QStringList texts = headingTexts();
    r.setBold(true);
    FittedRow heading = fitRow(r, texts);
    r.setBold(false);
    return heading;
}

void TScheduleReport::printGridHeading(ReportCanvas& r, const FittedRow& heading)
{
    r.setBold(true);
    r.setPen(Qt::black, Qt::SolidLine, 1);
    setGridColumns(r);
    printRow(r, heading, true);
    r.setBold(false);
}

// Rows go to the next page when they would leave less than a line above
// the bottom limit; every page of the grid starts with its heading.
void TScheduleReport::printGrid(ReportCanvas& r)
{
    QVector<QStringList> rows;
    for (const PrintedSchedule::GridRow& row : schedule.grid) {
        QStringList texts{ScheduleText::gridDate(row.date)};
        for (const QString& cell : row.courts)
            texts << cell;
        texts << row.byes;
        rows << texts;
    }
    widths = gridWidths(r, rows, headingTexts());
    auto fits = [&r](double height) { return r.bottomLimit() - r.yPos() + 1e-6 >= height + r.lineHeight(); };
    r.setBottomLimit(gridBottom);
    const FittedRow heading = fitHeading(r);
    bool headingDue = true;
    for (const QStringList& texts : rows) {
        const FittedRow fitted = fitRow(r, texts);
        if (!fits((headingDue ? heading.height : 0.0) + fitted.height)) {
            r.newPage();
            headingDue = true;
        }
        if (headingDue)
            printGridHeading(r, heading);
        headingDue = false;
        printRow(r, fitted, false);
    }
    if (schedule.bringBalls) {
        r.newLine();
        if (r.linesLeft() < 1)
            r.newPage();
        r.print("NOTE: The player number in parenthesis's () is responsible for brining the tennis balls.");
        r.newLine();
    }
    r.newLine();
}

TScheduleReport& installScheduleReport(Tdmglobal& dm)
{
    auto* report = new TScheduleReport(dm.database(), &dm);
    QObject::connect(&dm, &Tdmglobal::printScheduleRequested, report,
                     [report](int groupId) { report->PrintSchedule(groupId, dialogParent()); });
    return *report;
}
