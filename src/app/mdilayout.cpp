#include "mdilayout.h"
#include <algorithm>

QVector<QRect> horizontalTiles(const QRect& area, int count, int minHeight)
{
    QVector<QRect> tiles;
    if (count <= 0 || area.isEmpty())
        return tiles;
    const int height = std::max({1, minHeight, area.height() / count});
    const bool fits = height * count <= area.height();
    for (int i = 0; i < count; ++i) {
        const int top = area.top() + i * height;
        const int bottom = i == count - 1 && fits ? area.bottom() : top + height - 1;
        tiles.append(QRect(QPoint(area.left(), top), QPoint(area.right(), bottom)));
    }
    return tiles;
}

QVector<QRect> cascadeRects(const QRect& area, int count, const QSize& step, const QSize& minSize)
{
    QVector<QRect> places;
    if (count <= 0 || area.isEmpty())
        return places;
    const QSize size = QSize(area.width() - (count - 1) * step.width(), area.height() - (count - 1) * step.height())
                           .expandedTo(minSize);
    for (int i = 0; i < count; ++i)
        places.append(QRect(area.topLeft() + QPoint(i * step.width(), i * step.height()), size));
    return places;
}

QVector<QRect> iconPositions(const QRect& area, const QSize& iconSize, int count)
{
    QVector<QRect> places;
    if (count <= 0 || iconSize.isEmpty())
        return places;
    const int perRow = std::max(1, area.width() / iconSize.width());
    for (int i = 0; i < count; ++i) {
        const int column = i % perRow, row = i / perRow;
        places.append(
            QRect(QPoint(area.left() + column * iconSize.width(), area.bottom() + 1 - (row + 1) * iconSize.height()),
                  iconSize));
    }
    return places;
}
