#include "schedulereport.h"
#include "printformats.h"
#include "reportsetup.h"
#include "scheduletext.h"
#include "data/datamodule.h"
#include "data/kinds.h"
#include "data/settings.h"
#include "reportengine/eventpacer.h"
#include "windows/guard.h"
#include <QApplication>
#include <QWidget>

using Justify = ReportCanvas::Justify;
using Person = ScheduleText::Person;

// Positions are those of the Letter layout, placed on the paper in use
// through its LetterFrame.
namespace {
constexpr int heavy = -2;   // the rule under the header, 2/100 inch wide
constexpr double pageLeft = 0.5, pageRight = 8.0;
constexpr double titleTop = 0.5;
constexpr double smallestTitleSize = 12.0;
constexpr double footerBottom = 10.25;
constexpr double headerBottom = 10.0;
constexpr double rosterTop = 2.0;
constexpr double gridBottom = 9.5;
constexpr double rosterLeft = 0.5;
constexpr double rosterColumnWidth = 3.75;
constexpr double rosterMargin = 0.02;
constexpr double teamRosterLeft = 1.25;
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
    rsSchedule.pageHeading = schedule.missing == PrintedSchedule::Missing::Nothing ? schedule.name : QString();
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
    ScheduleGrid dates = grid();
    if (dates.wantsLandscape(r))
        r.setPaper(r.paperGeometry().turned());
    printHeader(r);
    printNotes(r);
    const double notesEnd = r.yPos();
    printFooter(r, notesEnd);
    printRoster(r);
    printGrid(r, dates);
}

// A long name is set smaller, down to a size that still reads as a title,
// then wrapped between its words; it never leaves the page.
void TScheduleReport::printHeader(ReportCanvas& r)
{
    const LetterFrame frame = r.letterFrame();
    const double middle = (frame.left() + frame.right()) / 2;
    r.setTopLimit(frame.y(titleTop));
    r.setFont("Arial", 18);
    r.home();
    r.setYPos(frame.y(titleTop));
    const ReportCanvas::FittedText title =
        r.fitText(ReportCanvas::wordPieces(schedule.name), frame.right() - frame.left(), smallestTitleSize);
    r.setFont("Arial", title.size);
    for (int i = 0; i < title.lines.size(); ++i) {
        if (i > 0)
            r.newLine();
        r.printCenter(title.lines[i], middle);
    }
    r.setFont("Arial", 12);
    r.newLine();
    r.printCenter(
        ScheduleText::sessionTimes(ScheduleText::timeOf(schedule.startTime), ScheduleText::timeOf(schedule.endTime)),
        middle);
    r.newLine();
    r.newLine();
    // A rule across the top of the current line, from margin to margin.
    r.clearTabs();
    r.setTab(frame.x(pageLeft), Justify::Left, frame.width(pageRight - pageLeft), 0, ReportCanvas::BoxTop, 0);
    r.tab(ReportCanvas::LineAsIs, ReportCanvas::LineAsIs, heavy, ReportCanvas::LineAsIs);
}

void TScheduleReport::printNotes(ReportCanvas& r)
{
    const LetterFrame frame = r.letterFrame();
    r.setFont("Arial", 10);
    r.setPrintStart(frame.x(pageLeft));
    r.setPrintEnd(frame.x(pageRight));
    r.printMemo(schedule.notes, 5);
}

// The roster starts at 2.0, or below the notes when a long title and five
// lines of notes reach further.
void TScheduleReport::printFooter(ReportCanvas& r, double notesEnd)
{
    const LetterFrame frame = r.letterFrame();
    r.setBottomLimit(frame.y(footerBottom));
    r.setFont("Arial", 10);
    const QString printed = ScheduleText::printedOn(QDate::currentDate());
    const double room = frame.right() - frame.left() - r.textWidth(printed) - footerGap;
    r.printFooter(r.elided(footerText(), room), Justify::Left);
    r.printFooter(printed, Justify::Right);
    r.setBottomLimit(frame.y(headerBottom));
    // Half a line apart from the notes, so that the two do not read as one.
    r.setYPos(qMax(frame.y(rosterTop), notesEnd + r.lineHeight() / 2));
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
    const LetterFrame frame = r.letterFrame();
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
            const QStringList lines = rosterLines(r, entry, frame.x(pageRight) - frame.x(teamRosterLeft));
            makeRoom(int(lines.size()));
            printRosterLines(r, lines, frame.x(teamRosterLeft));
            r.newLine();
        }
    } else {
        // Two entries a line, an empty line between lines.
        const double column = frame.width(rosterColumnWidth), width = column - 2 * rosterMargin;
        for (int i = 0; i < entries.size(); i += 2) {
            const QStringList left = rosterLines(r, entries[i], width);
            const QStringList right = i + 1 < entries.size() ? rosterLines(r, entries[i + 1], width) : QStringList{};
            makeRoom(int(qMax(left.size(), right.size())));
            const double top = r.yPos();
            printRosterLines(r, right, frame.x(rosterLeft) + column + rosterMargin);
            const double rightEnd = r.yPos();
            r.setYPos(top);
            printRosterLines(r, left, frame.x(rosterLeft) + rosterMargin);
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

ScheduleGrid TScheduleReport::grid() const
{
    QStringList heading{"DATE"};
    for (const PrintedSchedule::Court& court : schedule.courts)
        heading << court.name;
    heading << "BYE";
    QVector<QStringList> rows;
    rows.reserve(schedule.grid.size());
    for (const PrintedSchedule::GridRow& row : schedule.grid) {
        QStringList texts{ScheduleText::gridDate(row.date)};
        for (const QString& cell : row.courts)
            texts << cell;
        texts << row.byes;
        rows << texts;
    }
    return ScheduleGrid(heading, rows);
}

void TScheduleReport::printGrid(ReportCanvas& r, ScheduleGrid& dates)
{
    dates.print(r, r.letterFrame().y(gridBottom));
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
