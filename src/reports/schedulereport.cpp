#include "schedulereport.h"
#include "scheduletext.h"
#include "data/dmuglobal.h"
#include "data/guard.h"
#include "data/query.h"
#include "data/settings.h"
#include "data/table.h"
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
constexpr int heavy = -2;            // heading lines 2/100 inch wide
constexpr double smallestCellFont = 6.0;

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

const char* const courtsSql =
    "SELECT DISTINCT d1.COURTID, d1.NAME FROM \"COURTSLT.db\" d, \"COURTS.db\" d1 "
    "WHERE (d.GROUPID = :groupid) AND (d1.COURTID = d.COURTID) ORDER BY d1.COURTID, d1.NAME";

// The group table only repeats every row here; the roster is one row per
// number and player, ordered by number.
const char* const playersSql =
    "SELECT d3.SLOTCODE, d1.FNAME, d1.LNAME, d1.PHONE1,  d2.SHARESLOTID "
    "FROM \"group.DB\" D, \"PLAYERS.db\" d1, \"GRPPLAYR.db\" d2, \"SCHEDULE.db\" d3 "
    "WHERE (d2.GROUPID = :groupid) AND (d2.PLAYERID = d1.PLAYERID) AND (d3.GRPPLAYRID = d2.GROUPPLAYERID) "
    "GROUP BY d3.SLOTCODE, d1.FNAME, d1.LNAME, d1.PHONE1, d2.SHARESLOTID "
    "ORDER BY d3.SLOTCODE, d1.LNAME, d1.FNAME";

const char* const notScheduledSql =
    "SELECT d2.GROUPPLAYERID, d2.PRIORITY, d2.GRPSEQNUM FROM \"GRPPLAYR.db\" d2 "
    "WHERE (D2.GROUPID = :groupid) AND (D2.GROUPPLAYERID NOT IN "
    " (SELECT d6.GRPPLAYRID FROM \"SCHEDULE.db\" d6 WHERE (d6.\"DATE\" = :date))) "
    " ORDER BY d2.GRPSEQNUM";

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}
} // namespace

TScheduleReport::TScheduleReport(Database& db, QObject* parent)
    : QObject(parent),
      rsSchedule(this),
      database(db),
      qschedule(std::make_unique<Query>(db, scheduleSql)),
      qcourts(std::make_unique<Query>(db, courtsSql)),
      qsplayers(std::make_unique<Query>(db, playersSql)),
      qnotscheduled(std::make_unique<Query>(db, notScheduledSql)),
      tblkupplayer(std::make_unique<Table>(db, "PLAYERS.db"))
{
    using RS = TReportSystem;
    rsSchedule.TitleSetup = "Schedule Setup";
    rsSchedule.TitleStatus = "Schedule Status";
    rsSchedule.TitlePreview = "Schedule Preview";
    // Saving as a PDF file goes beyond printing and preview, and is welcome.
    rsSchedule.systemSetups = RS::ssAllowSetup | RS::ssAllowCopies | RS::ssAllowCollate | RS::ssAllowDuplex
        | RS::ssAllowDestPreview | RS::ssAllowDestPrinter | RS::ssAllowPrinterSetup | RS::ssAllowPreviewSetup
        | RS::ssAllowDestFile;
    rsSchedule.systemOptions = RS::soShowStatus | RS::soPreviewModal | RS::soAllowPrintFromPreview;
    rsSchedule.filerStatusFormat = "Generating page %p";
    rsSchedule.printerStatusFormat = "Printing page %p";
    rsSchedule.previewFormState = RS::FormState::Maximized;
    rsSchedule.previewZoom = 100.0;
    rsSchedule.margins = PageMargins{0.5, 0.5, 0.25, 0.25};
    rsSchedule.scaleX = rsSchedule.scaleY = 100.0;
    rsSchedule.printerTitle = "Vantrel";
    rsSchedule.unitsFactor = 1.0;
    rsSchedule.OnPrint = [this](ReportCanvas& r) { rsSchedulePrint(r); };
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
    return qschedule->asInt("RTYPE") == 2 && qschedule->asInt("TYPE") == 2;
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
    const int side = ScheduleText::sideSize(qschedule->asInt("RTYPE"), qschedule->asInt("TYPE"));
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
    const double courtWidth = courtsWidth / columns.size();
    printGridHeading(r, courtWidth);
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
    r.printFooter(footerText(), Justify::Left);
    r.printFooter(ScheduleText::printedOn(QDate::currentDate()), Justify::Right);
    r.setBottomLimit(10.0);
    r.setYPos(2.0);
    r.setTopLimitToCurrent();
    r.home();
}

void TScheduleReport::printRoster(ReportCanvas& r)
{
    // A roster longer than the page continues on the next one.
    auto makeRoom = [&r] {
        if (r.linesLeft() < 1)
            r.newPage();
    };
    const bool teams = isDoublesLeague();
    if (!teams) {
        r.clearTabs();
        r.setTab(0.5, Justify::Left, 3.75, 2, ReportCanvas::BoxNone, 0);
        r.setTab(ReportCanvas::AfterPrevious, Justify::Left, 3.75, 2, ReportCanvas::BoxNone, 0);
    }
    bool secondColumn = false;
    for (qsplayers->first(); !qsplayers->eof(); qsplayers->next()) {
        const int slot = qsplayers->asInt("SLOTCODE");
        const Person player{qsplayers->asString("FNAME"), qsplayers->asString("LNAME"), qsplayers->asString("PHONE1")};
        makeRoom();
        if (teams) {
            Person partner;
            const QVariant partnerId = qsplayers->value("SHARESLOTID");
            if (!partnerId.isNull()) {
                partner.firstName = tblkupplayer->lookup("PLAYERID", partnerId, "FNAME").toString();
                partner.lastName = tblkupplayer->lookup("PLAYERID", partnerId, "LNAME").toString();
                partner.phone = tblkupplayer->lookup("PLAYERID", partnerId, "PHONE1").toString();
            }
            r.printLeft(ScheduleText::teamRosterEntry(slot, player, partner), 1.25);
            r.newLine();
            continue;
        }
        r.printTab(ScheduleText::rosterEntry(slot, player));
        if (secondColumn) {
            r.newLine();
            r.newLine();
        }
        secondColumn = !secondColumn;
    }
    r.newLine();
    r.newLine();
}

void TScheduleReport::setGridColumns(ReportCanvas& r, double courtWidth)
{
    r.clearTabs();
    r.setTab(gridLeft, Justify::Center, dateWidth, 0, ReportCanvas::BoxAll, 0);
    for (int i = 0; i < columns.size(); ++i)
        r.setTab(ReportCanvas::AfterPrevious, Justify::Center, courtWidth, 0, ReportCanvas::BoxAll, 0);
    r.setTab(ReportCanvas::AfterPrevious, Justify::Center, byeWidth, 0, ReportCanvas::BoxAll, 0);
}

void TScheduleReport::printGridHeading(ReportCanvas& r, double courtWidth)
{
    using C = ReportCanvas;
    // A heading without room for a row under it goes to the next page.
    if (r.linesLeft() < 3)
        r.newPage();
    r.setBold(true);
    r.setPen(Qt::black, Qt::SolidLine, 1);
    setGridColumns(r, courtWidth);
    r.tab(heavy, C::LineAsIs, heavy, heavy);
    r.print("DATE");
    for (int i = 0; i < columns.size(); ++i) {
        const bool last = i + 1 == columns.size();
        r.tab(C::LineAsIs, last ? heavy : C::LineAsIs, heavy, heavy);
        printCell(r, columns[i].name, courtWidth);
    }
    r.tab(C::LineAsIs, heavy, heavy, heavy);
    r.print("BYE");
    r.setBold(false);
    r.newLine();
}

// A text wider than its cell is set smaller rather than run over the box lines.
void TScheduleReport::printCell(ReportCanvas& r, const QString& text, double width)
{
    const FontSpec normal = r.font();
    double size = normal.size;
    while (size > smallestCellFont && r.textWidth(text) > width - 0.04) {
        size -= 0.5;
        r.setFont(normal.family, size);
        r.setBold(normal.bold);
    }
    if (size == normal.size) {
        r.print(text);
        return;
    }
    const double y = r.yPos();
    const double fullLine = 1.2 * normal.size / 72.0;
    r.setYPos(y + (fullLine - r.lineHeight()) / 2);   // keep the smaller text centred in the row
    r.print(text);
    r.setYPos(y);
    r.setFont(normal.family, normal.size);
    r.setBold(normal.bold);
}

void TScheduleReport::printGrid(ReportCanvas& r)
{
    const double courtWidth = courtsWidth / columns.size();
    const bool bbon = qschedule->asBool("BBON");
    r.setBottomLimit(9.5);
    for (const GridRow& row : gridRows(columns)) {
        if (r.linesLeft() <= 1)
            r.newPage();
        r.tab();
        r.print(ScheduleText::gridDate(row.date));
        for (const QString& cell : row.cells) {
            r.tab();
            printCell(r, cell, courtWidth);
        }
        r.tab();
        printCell(r, byesOn(row.date), byeWidth);
        r.newLine();
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
    dm.printScheduleHandler = [report](int groupId) { report->PrintSchedule(groupId, dialogParent()); };
    return *report;
}
