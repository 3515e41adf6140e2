#pragma once
#include <QRect>
#include <QSize>
#include <QVector>

// Geometry of the Window menu's arrangements, apart from the widgets so that
// it can be checked on its own.

// Horizontal tiling: `count` windows stacked top to bottom, each as wide as
// the area; the last takes the pixels left over by the division.
// No tile is lower than `minHeight`: where they do not fit, they run on
// below the area, which then scrolls.
QVector<QRect> horizontalTiles(const QRect& area, int count, int minHeight = 1);

// Cascade: each window set `step` right of and below the one before, all as
// large as the area allows for the last one, but never smaller than `minSize`.
QVector<QRect> cascadeRects(const QRect& area, int count, const QSize& step, const QSize& minSize);

// Iconised windows lined up along the bottom of the area, left to right,
// wrapping upwards when a row is full.
QVector<QRect> iconPositions(const QRect& area, const QSize& iconSize, int count);
