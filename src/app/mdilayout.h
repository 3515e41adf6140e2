#pragma once
#include <QRect>
#include <QSize>
#include <QVector>

// Geometry of the Window menu's arrangements, apart from the widgets so that
// it can be checked on its own.

// Horizontal tiling: `count` windows stacked top to bottom, each as wide as
// the area; the last takes the pixels left over by the division.
QVector<QRect> horizontalTiles(const QRect& area, int count);

// Iconised windows lined up along the bottom of the area, left to right,
// wrapping upwards when a row is full.
QVector<QRect> iconPositions(const QRect& area, const QSize& iconSize, int count);
