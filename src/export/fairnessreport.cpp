#include "fairnessreport.h"
#include "csvexport.h"
#include "data/database.h"
#include "reportengine/columnbands.h"
#include "reports/reportsetup.h"
#include "reports/wrappedtable.h"
#include <numeric>

using Justify = ReportCanvas::Justify;
using Column = WrappedTable::Column;

namespace {
// The entry table: number, then the name taking what the figures (played,
// days off, longest gap, balls) leave; every width in inches.
constexpr double numberWidth = 0.4;
constexpr double figureWidths[] = {0.6, 0.65, 0.8, 0.75};
constexpr int entryColumns = 6;   // of the report's table headers; the courts follow
// The per-court table: the name column no wider than this, court columns
// between these (a heading wraps between its words).
constexpr double widestCourtName = 2.3;
constexpr double narrowestCourt = 0.35, widestCourt = 1.0;
constexpr double tableFont = 9;
constexpr double titleSize = 16, smallestTitleSize = 12;
// Pairs named in each line of who met whom; a screenful, not thousands.
constexpr int listedPairs = 20;

double widestOf(const ReportCanvas& r, const QStringList& texts)
{
    double widest = 0;
    for (const QString& t : texts)
        widest = qMax(widest, r.textWidth(t.trimmed()));
    return widest;
}
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
    rsFairness.pageHeading = data.name;
}

QByteArray TFairnessReport::csvDocument() const
{
    const QVector<QStringList> records =
        FairnessText::tableRows(figs) + FairnessText::unfilledRecords(figs) + FairnessText::neverMetRecords(figs);
    return Csv::document(FairnessText::tableHeaders(data), records);
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
    r.setFont("Arial", titleSize);
    printTitle(r, FairnessText::title(data), smallestTitleSize);
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
    r.setPen(Qt::black, Qt::SolidLine, 1);
    r.setFont("Arial", tableFont);
    printEntryTable(r);
    printCourtTables(r);
    const QStringList pairs = FairnessText::pairLines(figs, listedPairs);
    if (!pairs.isEmpty()) {
        r.setFont("Arial", 10);
        r.newLine();
        printLines(r, pairs);
    }
}

// Word-wrapped lines, each starting a page of its own when the page is full.
void TFairnessReport::printLines(ReportCanvas& r, const QStringList& lines)
{
    const double left = r.sectionLeft();
    for (const QString& line : lines)
        for (const QString& piece : r.wrapLines(line, r.sectionRight() - left)) {
            if (r.linesLeft() <= 1)
                r.newPage();
            r.printLeft(piece, left);
            r.newLine();
        }
}

void TFairnessReport::printEntryTable(ReportCanvas& r)
{
    double figures = 0;
    QVector<Column> columns{{numberWidth, Justify::Center}, {0, Justify::Left}};
    for (double w : figureWidths) {
        columns << Column{w, Justify::Center};
        figures += w;
    }
    columns[1].width = r.sectionRight() - r.sectionLeft() - numberWidth - figures;
    WrappedTable table(r.sectionLeft(), columns, FairnessText::tableHeaders(data).mid(0, entryColumns));
    table.printHeading(r);
    for (const QStringList& row : FairnessText::tableRows(figs))
        table.printRow(r, row.mid(0, entryColumns));
}

// Each court's column as wide as its heading on one line when every court
// then fits across the page, else as its widest word, so that many courts
// take few bands; never narrower than its counts.
QVector<double> TFairnessReport::courtWidths(ReportCanvas& r, const QStringList& courts,
                                             const QVector<QStringList>& rows, double keyWidth) const
{
    QVector<double> counts(courts.size());
    for (const QStringList& row : rows)
        for (int i = 0; i < courts.size(); ++i)
            counts[i] = qMax(counts[i], r.textWidth(row[entryColumns + i]));
    r.setBold(true);
    QVector<double> whole{keyWidth}, words{keyWidth};
    for (int i = 0; i < courts.size(); ++i) {
        auto width = [&](double text) {
            return qBound(narrowestCourt, qMax(text, counts[i]) + 2 * WrappedTable::padding, widestCourt);
        };
        whole << width(r.textWidth(courts[i]));
        words << width(widestOf(r, wordPieces(courts[i])));
    }
    r.setBold(false);
    const bool oneBand = columnBands(whole, 1, r.sectionRight() - r.sectionLeft()).size() == 1;
    return (oneBand ? whole : words).mid(1);
}

// The dates each entry played on each court, in a table of its own: as many
// courts across as fit, in bands one under the other, each band repeating
// the entries' numbers and names.
void TFairnessReport::printCourtTables(ReportCanvas& r)
{
    const QStringList headers = FairnessText::tableHeaders(data);
    const QStringList courts = headers.mid(entryColumns);
    if (courts.isEmpty())
        return;
    const QVector<QStringList> rows = FairnessText::tableRows(figs);
    QStringList names{headers[1]};
    for (const QStringList& row : rows)
        names << row[1];
    const double available = r.sectionRight() - r.sectionLeft();
    const double nameNeed = widestOf(r, names) + 2 * WrappedTable::padding;
    double nameWidth = qMin(widestCourtName, nameNeed);
    const QVector<double> courtColumns = courtWidths(r, courts, rows, numberWidth + nameWidth);
    // When every court fits across, the names take the room they leave.
    const double courtsWidth = std::accumulate(courtColumns.cbegin(), courtColumns.cend(), 0.0);
    if (numberWidth + nameWidth + courtsWidth <= available)
        nameWidth = qMin(nameNeed, available - numberWidth - courtsWidth);
    const QVector<Column> key{{numberWidth, Justify::Center}, {nameWidth, Justify::Left}};
    const QVector<double> widths = QVector<double>{numberWidth, nameWidth} + courtColumns;
    for (const ColumnBand& band : columnBands(widths, int(key.size()), available)) {
        r.newLine();
        QVector<Column> columns = key;
        for (int i = band.first; i < band.first + band.count; ++i)
            columns << Column{widths[key.size() + i], Justify::Center};
        WrappedTable table(r.sectionLeft(), columns, headers.mid(0, 2) + courts.mid(band.first, band.count));
        table.printHeading(r);
        for (const QStringList& row : rows)
            table.printRow(r, row.mid(0, 2) + row.mid(entryColumns + band.first, band.count));
    }
}
