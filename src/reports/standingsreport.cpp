#include "standingsreport.h"
#include "reportsetup.h"
#include "scheduletext.h"
#include "wrappedtable.h"
#include <QDate>

namespace {
constexpr double TableLeft = 0.75;
constexpr double RankWidth = 0.75;
constexpr double NumberWidth = 0.9;
constexpr double NameWidth = 3.85;
constexpr double CountWidth = 0.75;
constexpr double BottomLimit = 10.0;
constexpr double TitleSize = 18;
constexpr double SmallestTitleSize = 12;
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
    rsStandings.pageHeading = leagueName;
}

void TStandingsReport::PrintStandings(QWidget* parent)
{
    rsStandings.execute(parent);
}

// Title, subtitle and date, on every page above the table.
void TStandingsReport::printHeading(ReportCanvas& r)
{
    r.setBottomLimit(BottomLimit);
    r.home();
    r.setFont("Arial", TitleSize);
    printTitle(r, league, SmallestTitleSize);
    r.setFont("Arial", 12);
    r.printCenter(QStringLiteral("Standings"), r.paperWidth() / 2);
    r.newLine();
    r.setFont("Arial", 10);
    r.printCenter(ScheduleText::printedOn(QDate::currentDate()), r.paperWidth() / 2);
    r.newLine();
    r.newLine();
    r.setPen(Qt::black, Qt::SolidLine, 1);
}

void TStandingsReport::rsStandingsPrint(ReportCanvas& r)
{
    using J = WrappedTable::Justify;
    WrappedTable table(TableLeft,
                       {{RankWidth, J::Center},
                        {NumberWidth, J::Center},
                        {NameWidth, J::Left},
                        {CountWidth, J::Center},
                        {CountWidth, J::Center}},
                       {"Rank", "Entry #", "Name", "Win", "Loss"});
    table.pageStarted = [this](ReportCanvas& page) { printHeading(page); };
    printHeading(r);
    table.printHeading(r);
    for (const StandingsRow& line : std::as_const(lines))
        table.printRow(r, {QString::number(line.rank), QString::number(line.number), line.name,
                           QString::number(line.wins), QString::number(line.losses)});
}
