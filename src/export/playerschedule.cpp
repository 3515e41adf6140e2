#include "playerschedule.h"
#include "playerdates.h"
#include "reports/reportsetup.h"
#include "reports/scheduletext.h"
#include "reports/wrappedtable.h"
#include <QLocale>
#include <algorithm>

using Justify = ReportCanvas::Justify;
using Column = WrappedTable::Column;

namespace {
// Widths in inches: the date, the court, the ball mark; partners and
// opponents share what they leave.
constexpr double dateWidth = 1.35, courtWidth = 1.3, ballsWidth = 0.55;
constexpr double titleSize = 16, smallestTitleSize = 12, textSize = 10;

QString dateText(const QDate& date)
{
    return QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy"));
}

QString names(const Season& s, const QVector<int>& entries)
{
    QStringList out;
    for (int id : entries) {
        const SeasonEntry* e = s.entry(id);
        out << (e ? e->fullName() : QStringLiteral("(left the group)"));
    }
    return out.join(QStringLiteral(", "));
}

// Word-wrapped across the page, each line on a new page when this one is full.
void printLines(ReportCanvas& r, const QString& text)
{
    for (const QString& line : r.wrapLines(text, r.sectionRight() - r.sectionLeft())) {
        if (r.linesLeft() <= 1)
            r.newPage();
        r.printLeft(line, r.sectionLeft());
        r.newLine();
    }
}
}   // namespace

TPlayerSchedule::TPlayerSchedule(const Season& season, int playerId, QObject* parent)
    : QObject(parent), rsPlayer(this), data(season), player(playerId)
{
    setUpReport(rsPlayer, "Player's Schedule", PageMargins{0.5, 0.5, 0.5, 0.5},
                [this](ReportCanvas& r) { rsPlayerPrint(r); });
    const QString who = seasonPlayer(data, player).fullName();
    rsPlayer.pageHeading = data.name + QStringLiteral(" - ") + who;
    rsPlayer.documentName = rsPlayer.pageHeading;
}

void TPlayerSchedule::savePdf(const QString& fileName)
{
    rsPlayer.setPresetDestination(TReportSystem::Destination::PdfFile, fileName);
    rsPlayer.execute(nullptr);
    rsPlayer.clearPresetDestination();
}

void TPlayerSchedule::rsPlayerPrint(ReportCanvas& r)
{
    r.home();
    r.setFont("Arial", titleSize);
    r.setBold(true);
    printTitle(r, data.name, smallestTitleSize);
    r.setFont("Arial", textSize);
    if (data.startTime.isValid())
        printTitle(r, ScheduleText::sessionTimes(data.startTime, data.endTime), textSize);
    r.newLine();
    r.setBold(true);
    printLines(r, QStringLiteral("The dates of %1").arg(seasonPlayer(data, player).fullName()));
    r.setBold(false);
    r.newLine();
    r.setPen(Qt::black, Qt::SolidLine, 1);
    printDates(r);
    printDaysOff(r);
}

void TPlayerSchedule::printDates(ReportCanvas& r)
{
    const QVector<PlayerDate> dates = playerDates(data, player);
    if (dates.isEmpty()) {
        r.printLeft(QStringLiteral("No dates for you in this schedule."), r.sectionLeft());
        r.newLine();
        return;
    }
    // A league's entries play one against one: nobody is "with" them.
    const bool with =
        std::any_of(dates.cbegin(), dates.cend(), [](const PlayerDate& d) { return !d.partners.isEmpty(); });
    const bool against = data.sideSize() != 0;
    const double rest =
        (r.sectionRight() - r.sectionLeft() - dateWidth - courtWidth - (data.bringBallsOn ? ballsWidth : 0)) /
        qMax(1, int(with) + int(against));
    QVector<Column> columns{{dateWidth, Justify::Left}, {courtWidth, Justify::Left}};
    QStringList heading{QStringLiteral("Date"), QStringLiteral("Court")};
    if (with) {
        columns << Column{rest, Justify::Left};
        heading << QStringLiteral("With");
    }
    if (against) {
        columns << Column{rest, Justify::Left};
        heading << QStringLiteral("Against");
    }
    if (data.bringBallsOn) {
        columns << Column{ballsWidth, Justify::Center};
        heading << QStringLiteral("Balls");
    }
    WrappedTable table(r.sectionLeft(), columns, heading);
    table.printHeading(r);
    for (const PlayerDate& d : dates) {
        QStringList row{dateText(d.date), data.courtName(d.courtId)};
        if (with)
            row << names(data, d.partners);
        if (against)
            row << names(data, d.opponents);
        if (data.bringBallsOn)
            row << (d.bringsBalls ? QStringLiteral("Yes") : QString());
        table.printRow(r, row);
    }
}

void TPlayerSchedule::printDaysOff(ReportCanvas& r)
{
    const QVector<QDate> off = playerDaysOff(data, player);
    if (off.isEmpty())
        return;
    QStringList days;
    for (const QDate& d : off)
        days << dateText(d);
    r.newLine();
    if (r.linesLeft() <= 2)
        r.newPage();
    r.setBold(true);
    r.printLeft(QStringLiteral("Days off"), r.sectionLeft());
    r.setBold(false);
    r.newLine();
    printLines(r, days.join(QStringLiteral("; ")));
}
