#pragma once
#include <QVector>

// Columns that do not fit across the page are printed in bands, one under
// the other; every band repeats the leading key columns (a date, a name).
struct ColumnBand {
    int first = 0;   // index of the band's first column after the key columns
    int count = 0;   // how many of those columns the band holds
};

// Splits the columns after the first `keyColumns` of `widths` (inches) into
// bands no wider than `available` together with the key columns. Every band
// holds at least one column, however wide; no columns give one empty band.
QVector<ColumnBand> columnBands(const QVector<double>& widths, int keyColumns, double available);
