#include "schedulereport.h"
#include "printformats.h"
#include "reportsetup.h"
#include "scheduletext.h"
#include "data/datamodule.h"
#include "data/kinds.h"
#include "data/query.h"
#include "data/settings.h"
#include "data/table.h"
#include "reportengine/fonts.h"
#include "windows/guard.h"
#include <QApplication>
#include <QMap>
#include <QSet>
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

// The schedule rows tie-break on SCHEDULEID so that the codes of one court
// come in the order in which the generator wrote them.
const char* const scheduleSql =
    "SELECT d3.\"DATE\", d3.GRPCOURTID, d3.SLOTCODE, d3.SLOTCODE2, d3.GRPPLAYRID, d3.VSGRPPLAYRID, d3.HOME, "
    "D.GROUPID, D.NAME, D.STARTDATE, D.STIME, D.ETIME, D.FEE, D.SUNDAY, D.MONDAY, D.TUESDAY, D.WEDNESDAY, "
    "D.THURSDAY, D.FRIDAY, D.SATURDAY, D.NOTES,  D.TYPE, d1.PHONE1, D.RTYPE, D.BBON "
    "FROM \"group.DB\" D, \"PLAYERS.db\" d1, \"GRPPLAYR.db\" d2, \"SCHEDULE.db\" d3 "
    "WHERE (d2.GROUPID = D.GROUPID) AND (d2.PLAYERID = d1.PLAYERID) AND (d3.GRPPLAYRID = d2.GROUPPLAYERID) "
    "AND d.groupid = :groupid "
    "ORDER BY d3.\"DATE\", d3.GRPCOURTID, d3.SCHEDULEID";

const char* const courtsSql = "SELECT DISTINCT d1.COURTID, d1.NAME FROM \"COURTSLT.db\" d, \"COURTS.db\" d1 "
                              "WHERE (d.GROUPID = :groupid) AND (d1.COURTID = d.COURTID) ORDER BY d1.COURTID, d1.NAME";

// The group table only repeats every row here; the roster is one row per
// number and player, ordered by number.
const char* const playersSql =
    "SELECT d3.SLOTCODE, d1.FNAME, d1.LNAME, d1.PHONE1,  d2.SHARESLOTID "
    "FROM \"group.DB\" D, \"PLAYERS.db\" d1, \"GRPPLAYR.db\" d2, \"SCHEDULE.db\" d3 "
    "WHERE (d2.GROUPID = :groupid) AND (d2.PLAYERID = d1.PLAYERID) AND (d3.GRPPLAYRID = d2.GROUPPLAYERID) "
    "GROUP BY d3.SLOTCODE, d1.FNAME, d1.LNAME, d1.PHONE1, d2.SHARESLOTID "
    "ORDER BY d3.SLOTCODE, d1.LNAME, d1.FNAME";

const char* const notScheduledSql = "SELECT d2.GROUPPLAYERID, d2.PRIORITY, d2.GRPSEQNUM FROM \"GRPPLAYR.db\" d2 "
                                    "WHERE (D2.GROUPID = :groupid) AND (D2.GROUPPLAYERID NOT IN "
                                    " (SELECT d6.GRPPLAYRID FROM \"SCHEDULE.db\" d6 WHERE (d6.\"DATE\" = :date))) "
                                    " ORDER BY d2.GRPSEQNUM";

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}
}   // namespace

TScheduleReport::TScheduleReport(Database& db, QObject* parent)
    : QObject(parent), rsSchedule(this), database(db), qschedule(std::make_unique<Query>(db, scheduleSql)),
      qcourts(std::make_unique<Query>(db, courtsSql)), qsplayers(std::make_unique<Query>(db, playersSql)),
      qnotscheduled(std::make_unique<Query>(db, notScheduledSql)),
      tblkupplayer(std::make_unique<Table>(db, "PLAYERS.db"))
{
    setUpReport(rsSchedule, "Schedule", PageMargins{0.5, 0.5, 0.25, 0.25},
                [this](ReportCanvas& r) { rsSchedulePrint(r); });
    tblkupplayer->setReadOnly(true);
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

QString TScheduleReport::prepare(int id)
{
    groupId = id;
    qschedule->close();
    qschedule->setInteger("groupid", id);
    qschedule->open();
    if (qschedule->isEmpty())
        return noScheduleMessage();
    qcourts->close();
    qcourts->setInteger("groupid", id);
    qcourts->open();
    if (qcourts->isEmpty())
        return noCourtsMessage();
    qsplayers->close();
    qsplayers->setInteger("groupid", id);
    qsplayers->open();
    if (tblkupplayer->isActive())
        tblkupplayer->refresh();
    else
        tblkupplayer->open();
    columns = courtColumns();
    rsSchedule.documentName = qschedule->asString("NAME");
    return {};
}

bool TScheduleReport::PrintSchedule(int id, QWidget* parent)
{
    const QString missing = prepare(id);
    if (!missing.isEmpty()) {
        showErrorBox(parent, missing);
        return false;
    }
    rsSchedule.execute(parent);
    return true;
}

bool TScheduleReport::isDoublesLeague() const
{
    return ::isDoublesLeague(recordKindFrom(qschedule->asInt("RTYPE")), matchTypeFrom(qschedule->asInt("TYPE")));
}

// The group's courts in column order; a court that has schedule rows but is
// no longer assigned gets a column after them, so that no match is lost.
QVector<TScheduleReport::Court> TScheduleReport::courtColumns() const
{
    QVector<Court> list;
    QSet<int> known;
    for (qcourts->first(); !qcourts->eof(); qcourts->next()) {
        list.append(Court{qcourts->asInt("COURTID"), qcourts->asString("NAME")});
        known.insert(list.last().id);
    }
    QList<int> extra;
    for (qschedule->first(); !qschedule->eof(); qschedule->next()) {
        const int court = qschedule->asInt("GRPCOURTID");
        if (!known.contains(court) && !extra.contains(court))
            extra.append(court);
    }
    std::sort(extra.begin(), extra.end());
    if (!extra.isEmpty()) {
        Table courts(database, "COURTS.db");
        courts.setReadOnly(true);
        courts.open();
        for (int id : extra) {
            const QString name = courts.lookup("COURTID", id, "NAME").toString();
            list.append(Court{id, name.isEmpty() ? QString("Court %1").arg(id) : name});
        }
    }
    qschedule->first();
    return list;
}

// One row per date, one cell per court column, each court in its own column
// even on a date where it has no match.
QVector<TScheduleReport::GridRow> TScheduleReport::gridRows(const QVector<Court>& courts) const
{
    QMap<int, int> columnOf;
    for (int i = 0; i < courts.size(); ++i)
        columnOf.insert(courts[i].id, i);
    qschedule->first();
    const int side = sideSize(recordKindFrom(qschedule->asInt("RTYPE")), matchTypeFrom(qschedule->asInt("TYPE")));
    const bool bbon = qschedule->asBool("BBON");
    QVector<GridRow> rows;
    QVector<ScheduleText::CourtCell> cells;
    for (; !qschedule->eof(); qschedule->next()) {
        const QDate date = qschedule->asDate("DATE");
        if (rows.isEmpty() || rows.last().date != date) {
            if (!rows.isEmpty())
                for (int i = 0; i < cells.size(); ++i)
                    rows.last().cells[i] = cells[i].text();
            rows.append(GridRow{date, QVector<QString>(courts.size())});
            cells = QVector<ScheduleText::CourtCell>(courts.size(), ScheduleText::CourtCell(side));
        }
        const int column = columnOf.value(qschedule->asInt("GRPCOURTID"));
        cells[column].add(ScheduleText::code(qschedule->asInt("SLOTCODE"), qschedule->asBool("HOME"), bbon));
    }
    if (!rows.isEmpty())
        for (int i = 0; i < cells.size(); ++i)
            rows.last().cells[i] = cells[i].text();
    qschedule->first();
    return rows;
}

QString TScheduleReport::byesOn(const QDate& date)
{
    qnotscheduled->close();
    qnotscheduled->setInteger("groupid", groupId);
    qnotscheduled->setDate("date", date);
    qnotscheduled->open();
    QList<int> numbers;
    for (; !qnotscheduled->eof(); qnotscheduled->next())
        numbers << qnotscheduled->asInt("GRPSEQNUM");
    return ScheduleText::byeList(numbers);
}

void TScheduleReport::rsSchedulePrint(ReportCanvas& r)
{
    if (columns.isEmpty())
        return;   // prepare refused this group
    qschedule->first();
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
    r.printCenter(qschedule->asString("NAME"), r.paperWidth() / 2);
    r.setFont("Arial", 12);
    r.newLine();
    r.printCenter(ScheduleText::sessionTimes(ScheduleText::timeOf(qschedule->value("STIME")),
                                             ScheduleText::timeOf(qschedule->value("ETIME"))),
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
    r.printMemo(qschedule->asString("NOTES"), 5);
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

ScheduleText::Person TScheduleReport::rosterPerson(const QVariant& playerId) const
{
    return Person{tblkupplayer->lookup("PLAYERID", playerId, "FNAME").toString(),
                  tblkupplayer->lookup("PLAYERID", playerId, "LNAME").toString(),
                  PrintFormats::phone(tblkupplayer->lookup("PLAYERID", playerId, "PHONE1").toString())};
}

// Entries whose text is wider than their place wrap with a hanging indent,
// and an entry that no longer fits on the page starts the next one.
void TScheduleReport::printRoster(ReportCanvas& r)
{
    auto makeRoom = [&r](int lines) {
        if (r.linesLeft() < lines)
            r.newPage();
    };
    const bool teams = isDoublesLeague();
    QVector<QStringList> entries;
    for (qsplayers->first(); !qsplayers->eof(); qsplayers->next()) {
        const int slot = qsplayers->asInt("SLOTCODE");
        const Person player{qsplayers->asString("FNAME"), qsplayers->asString("LNAME"),
                            PrintFormats::phone(qsplayers->asString("PHONE1"))};
        const QVariant partnerId = qsplayers->value("SHARESLOTID");
        if (teams)
            entries << ScheduleText::teamRosterPieces(slot, player,
                                                      partnerId.isNull() ? Person{} : rosterPerson(partnerId));
        else
            entries << QStringList{ScheduleText::rosterEntry(slot, player)};
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
    const int courts = int(columns.size());
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
    for (const Court& court : columns)
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
    const bool bbon = qschedule->asBool("BBON");
    QVector<QStringList> rows;
    for (const GridRow& row : gridRows(columns)) {
        QStringList texts{ScheduleText::gridDate(row.date)};
        for (const QString& cell : row.cells)
            texts << cell;
        texts << byesOn(row.date);
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
    if (bbon) {
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
