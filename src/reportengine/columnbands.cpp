#include "columnbands.h"

QVector<ColumnBand> columnBands(const QVector<double>& widths, int keyColumns, double available)
{
    double keyWidth = 0;
    for (int i = 0; i < keyColumns && i < widths.size(); ++i)
        keyWidth += widths[i];
    QVector<ColumnBand> bands;
    ColumnBand band;
    double used = keyWidth;
    for (int i = keyColumns; i < widths.size(); ++i) {
        const int index = i - keyColumns;
        if (band.count > 0 && used + widths[i] > available + 1e-9) {
            bands.append(band);
            band = ColumnBand{index, 0};
            used = keyWidth;
        }
        if (band.count == 0)
            band.first = index;
        ++band.count;
        used += widths[i];
    }
    bands.append(band);
    return bands;
}
