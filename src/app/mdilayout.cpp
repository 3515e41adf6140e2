#include "mdilayout.h"
#include <algorithm>

QVector<QRect> horizontalTiles(const QRect& area, int count)
{
    QVector<QRect> tiles;
    if (count <= 0 || area.isEmpty())
        return tiles;
    const int height = std::max(1, area.height() / count);
    for (int i = 0; i < count; ++i) {
        const int top = area.top() + i * height;
        const int bottom = i == count - 1 ? area.bottom() : top + height - 1;
        tiles.append(QRect(QPoint(area.left(), top), QPoint(area.right(), bottom)));
    }
    return tiles;
}

QVector<QRect> iconPositions(const QRect& area, const QSize& iconSize, int count)
{
    QVector<QRect> places;
    if (count <= 0 || iconSize.isEmpty())
        return places;
    const int perRow = std::max(1, area.width() / iconSize.width());
    for (int i = 0; i < count; ++i) {
        const int column = i % perRow, row = i / perRow;
        places.append(QRect(QPoint(area.left() + column * iconSize.width(),
                                   area.bottom() + 1 - (row + 1) * iconSize.height()),
                            iconSize));
    }
    return places;
}
