#include "fairnessreport.h"
#include "data/database.h"
#include "reports/reportsetup.h"

using Justify = ReportCanvas::Justify;

namespace {
constexpr double left = 0.5;
constexpr double right = 8.0;
// Number, name, played, days off, longest gap, balls.
constexpr double fixedWidths[] = {0.4, 2.3, 0.6, 0.65, 0.8, 0.75};
constexpr double fixedTotal = 5.5;
constexpr double tableFont = 9;
}   // namespace

TFairnessReport::TFairnessReport(QObject* parent) : QObject(parent), rsFairness(this)
{
    setUpReport(rsFairness, "Fairness", PageMargins{0.5, 0.5, 0.5, 0.5},
                [this](ReportCanvas& r) { rsFairnessPrint(r); });
}

void TFairnessReport::load(Database& db, int groupId)
{
    setSeason(loadSeason(db, groupId));
}

void TFairnessReport::setSeason(const Season& season)
{
    data = season;
    figs = computeFairness(data);
}

void TFairnessReport::print(QWidget* parent)
{
    rsFairness.clearPresetDestination();
    rsFairness.execute(parent);
}

void TFairnessReport::savePdf(const QString& fileName)
{
    rsFairness.setPresetDestination(TReportSystem::Destination::PdfFile, fileName);
    rsFairness.execute(nullptr);
    rsFairness.clearPresetDestination();
}

void TFairnessReport::rsFairnessPrint(ReportCanvas& r)
{
    r.home();
    r.setFont("Arial", 16);
    r.printCenter(FairnessText::title(data), r.paperWidth() / 2);
    r.newLine();
    r.setFont("Arial", 10);
    r.newLine();
    printLines(r, FairnessText::summary(data, figs));
    if (!figs.warnings.isEmpty()) {
        r.newLine();
        r.setBold(true);
        printLines(r, {QStringLiteral("Warnings")});
        r.setBold(false);
        QStringList bullets;
        for (const QString& w : figs.warnings)
            bullets << QStringLiteral("- ") + w;
        printLines(r, bullets);
    }
    r.newLine();
    printTable(r);
    const QStringList pairs = FairnessText::pairLines(figs);
    if (!pairs.isEmpty()) {
        r.setFont("Arial", 10);
        r.newLine();
        printLines(r, pairs);
    }
}

// Word-wrapped lines, each starting a page of its own when the page is full.
void TFairnessReport::printLines(ReportCanvas& r, const QStringList& lines)
{
    r.setPrintStart(left);
    r.setPrintEnd(right);
    for (const QString& line : lines)
        for (const QString& piece : r.wrapLines(line, right - left)) {
            if (r.linesLeft() <= 1)
                r.newPage();
            r.printLeft(piece, left);
            r.newLine();
        }
}

void TFairnessReport::setColumns(ReportCanvas& r)
{
    r.clearTabs();
    double x = left;
    for (int i = 0; i < int(std::size(fixedWidths)); ++i) {
        r.setTab(x, i == 1 ? Justify::Left : Justify::Center, fixedWidths[i], 3, ReportCanvas::BoxAll, 0);
        x += fixedWidths[i];
    }
    const int courts = int(courtHeadings.size());
    const double courtWidth = courts ? (right - left - fixedTotal) / courts : 0;
    for (int i = 0; i < courts; ++i)
        r.setTab(ReportCanvas::AfterPrevious, Justify::Center, courtWidth, 3, ReportCanvas::BoxAll, 0);
}

void TFairnessReport::printRow(ReportCanvas& r, const QStringList& cells, bool heading)
{
    r.setBold(heading);
    for (const QString& c : cells) {
        r.tab();
        r.print(c);
    }
    r.setBold(false);
    r.newLine();
}

void TFairnessReport::printTable(ReportCanvas& r)
{
    r.setFont("Arial", tableFont);
    r.setPen(Qt::black, Qt::SolidLine, 1);
    const int courts = int(data.courtOrder.size());
    const double courtWidth = courts ? (right - left - fixedTotal) / courts : 0;
    courtHeadings.clear();
    bool fit = true;
    for (int id : data.courtOrder) {
        courtHeadings << data.courtName(id);
        fit = fit && r.textWidth(courtHeadings.last()) < courtWidth - 0.06;
    }
    QStringList legend;
    if (!fit)
        for (int i = 0; i < courts; ++i) {
            legend << QStringLiteral("C%1 = %2").arg(i + 1).arg(courtHeadings[i]);
            courtHeadings[i] = QStringLiteral("C%1").arg(i + 1);
        }
    QStringList headers = FairnessText::tableHeaders(data).mid(0, 6) + courtHeadings;
    setColumns(r);
    printRow(r, headers, true);
    for (const QStringList& row : FairnessText::tableRows(figs)) {
        if (r.linesLeft() <= 1) {
            r.newPage();
            printRow(r, headers, true);
        }
        printRow(r, row, false);
    }
    r.clearTabs();
    if (!legend.isEmpty()) {
        r.newLine();
        printLines(r, {QStringLiteral("Courts: ") + legend.join(QStringLiteral("; "))});
    }
}
