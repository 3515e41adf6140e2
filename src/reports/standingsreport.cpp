#include "standingsreport.h"
#include "reportsetup.h"
#include "scheduletext.h"
#include <QDate>

namespace {
constexpr double TableLeft = 0.75;
constexpr double RankWidth = 0.75;
constexpr double NumberWidth = 0.9;
constexpr double NameWidth = 3.85;
constexpr double CountWidth = 0.75;
constexpr double BottomLimit = 10.0;
}   // namespace

TStandingsReport::TStandingsReport(QObject* parent) : QObject(parent), rsStandings(this)
{
    setUpReport(rsStandings, "Standings", PageMargins{0.5, 0.5, 0.25, 0.25},
                [this](ReportCanvas& r) { rsStandingsPrint(r); });
}

void TStandingsReport::setStandings(const QString& leagueName, const QVector<StandingsRow>& rows)
{
    league = leagueName;
    lines = rows;
}

void TStandingsReport::PrintStandings(QWidget* parent)
{
    rsStandings.execute(parent);
}

void TStandingsReport::setColumns(ReportCanvas& r)
{
    r.clearTabs();
    r.setTab(TableLeft, ReportCanvas::Justify::Center, RankWidth, 0, ReportCanvas::BoxAll, 0);
    r.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Center, NumberWidth, 0, ReportCanvas::BoxAll, 0);
    r.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Left, NameWidth, 4, ReportCanvas::BoxAll, 0);
    r.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Center, CountWidth, 0, ReportCanvas::BoxAll, 0);
    r.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Center, CountWidth, 0, ReportCanvas::BoxAll, 0);
}

void TStandingsReport::printRow(ReportCanvas& r, const QStringList& cells)
{
    for (const QString& cell : cells) {
        r.tab();
        r.printTab(cell);
    }
    r.newLine();
}

// Title and the table's heading, on every page.
void TStandingsReport::printHeading(ReportCanvas& r)
{
    r.setFont("Arial", 18);
    r.home();
    r.printCenter(league, r.paperWidth() / 2);
    r.newLine();
    r.setFont("Arial", 12);
    r.printCenter(QStringLiteral("Standings"), r.paperWidth() / 2);
    r.newLine();
    r.setFont("Arial", 10);
    r.printCenter(ScheduleText::printedOn(QDate::currentDate()), r.paperWidth() / 2);
    r.newLine();
    r.newLine();
    r.setPen(Qt::black, Qt::SolidLine, 1);
    setColumns(r);
    r.setBold(true);
    printRow(r, {"Rank", "Entry #", "Name", "Win", "Loss"});
    r.setBold(false);
}

void TStandingsReport::rsStandingsPrint(ReportCanvas& r)
{
    printHeading(r);
    for (const StandingsRow& line : std::as_const(lines)) {
        if (r.yPos() + r.lineHeight() > BottomLimit) {
            r.newPage();
            printHeading(r);
        }
        printRow(r, {QString::number(line.rank), QString::number(line.number), line.name, QString::number(line.wins),
                     QString::number(line.losses)});
    }
}
