#pragma once
// A boxed table whose cells wrap their texts inside their columns, for the
// reports that list entries by name (standings, fairness): no text runs over
// its cell's box lines, a row is as tall as its tallest cell, and a row that
// does not fit above the bottom limit starts the next page under the
// table's heading again.
#include "reportengine/reportcanvas.h"
#include <QStringList>
#include <QVector>
#include <functional>

class WrappedTable {
public:
    using Justify = ReportCanvas::Justify;
    struct Column {
        double width = 1.0;   // inches
        Justify justify = Justify::Center;
    };
    // Space between a cell's text and its box lines, in inches.
    static constexpr double padding = 0.03;

    // Columns one after another from `left`; `heading` names them, in bold.
    WrappedTable(double left, QVector<Column> columns, QStringList heading);

    // Runs when a row had to start a new page, before the heading is
    // repeated on it (a report prints its title there).
    std::function<void(ReportCanvas&)> pageStarted;

    // The heading at the current line, on a new page when the heading and
    // one line under it do not fit above the bottom limit.
    void printHeading(ReportCanvas& r);
    // One row, its texts in column order, wrapped between words (wordPieces).
    void printRow(ReportCanvas& r, const QStringList& texts);

private:
    struct FittedRow {
        QVector<QStringList> lines;   // of each cell
        double height = 0;
    };
    FittedRow fit(const ReportCanvas& r, const QStringList& texts) const;
    bool fits(const ReportCanvas& r, double height) const;
    void startPage(ReportCanvas& r);
    void print(ReportCanvas& r, const FittedRow& row);

    double left;
    QVector<Column> columns;
    QStringList heading;
};

// `text` in the pieces a line may break between, for ReportCanvas::wrapPieces
// and fitText: words, each with the blanks before it, and a team's two
// players after the slash that joins them.
QStringList wordPieces(const QString& text);

// A report's title centred across the printing area from the current
// line: set smaller down to `smallestSize` points when it is too wide,
// then wrapped between words. Ends below its last line, in the font it
// started with.
void printTitle(ReportCanvas& r, const QString& text, double smallestSize);
