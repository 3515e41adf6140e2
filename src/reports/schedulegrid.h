#pragma once
#include "reportengine/columnbands.h"
#include "reportengine/reportcanvas.h"
#include <QHash>
#include <QStringList>
#include <optional>
#include <QVector>

// The grid of the printed schedule: a row per date, a column per court and
// the entries who sit out. Its cells wrap only between entries and never
// below the smallest readable size; courts that do not fit across the page
// go into further bands of columns, each repeating the date column.
class ScheduleGrid {
public:
    // `heading`: "DATE", the courts' names, "BYE"; each row the same
    // columns: the date, a cell per court, the byes.
    ScheduleGrid(QStringList heading, QVector<QStringList> rows);

    // Whether the grid keeps each date on one row only with the sheet
    // turned to landscape.
    bool wantsLandscape(const ReportCanvas& r) const;
    // Prints the grid from the current line, first-page rows down to
    // `bottom`; every page and band starts with its heading.
    void print(ReportCanvas& r, double bottom);

    struct Layout {
        double left = 0;
        QVector<double> widths;   // date, the courts, BYE
        QVector<ColumnBand> bands;
    };
    Layout layoutOn(const ReportCanvas& r, const PaperGeometry& sheet) const;

private:
    using FittedText = ReportCanvas::FittedText;
    struct FittedRow {
        QVector<FittedText> cells;
        double height;   // inches
    };
    struct Widths {
        QVector<double> least;    // the narrowest each column may be
        QVector<double> wanted;   // what the texts take on one line
    };

    Widths measure() const;
    Layout letterLayout(const LetterFrame& frame, const Widths& w) const;
    Layout bandedLayout(const LetterFrame& frame, const Widths& w) const;
    static Layout bandsOf(const LetterFrame& frame, const Widths& w, const QVector<double>& least);
    static QStringList bandTexts(const QStringList& texts, const ColumnBand& band);
    FittedRow fitRow(const ReportCanvas& r, const QStringList& texts, const QVector<double>& widths) const;
    void printRow(ReportCanvas& r, const FittedRow& row, bool heading, bool closesGrid) const;
    void setColumns(ReportCanvas& r, double left, const QVector<double>& widths) const;
    void printBand(ReportCanvas& r, const Layout& layout, const ColumnBand& band);

    QStringList heading;
    QVector<QStringList> rows;
    mutable std::optional<Widths> measured;
    mutable QHash<QString, FittedText> fittedCells;   // by text, width and face
};
