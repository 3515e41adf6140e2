#pragma once
// Checks on laid-out pages: that no two texts overprint each other, that
// every text inside a boxed cell stays in that cell, and that nothing lies
// outside the printable part of the paper.
#include "reportengine/fonts.h"
#include "reportengine/pageops.h"
#include <QRectF>
#include <QStringList>
#include <optional>

namespace LayoutChecks {

constexpr double tolerance = 1e-6;

// The box the text's glyphs may fill: its advance, from the font's ascent
// above the baseline to its descent below.
inline QRectF inkBox(const TextOp& t)
{
    const double ascent = ReportFonts::ascent(t.font), descent = ReportFonts::descent(t.font);
    return QRectF(t.x, t.baseline - ascent, t.width, ascent + descent);
}

inline QString describe(const TextOp& t)
{
    return QString("\"%1\" at %2,%3 (%4 wide, %5 pt)")
        .arg(t.text)
        .arg(t.x)
        .arg(t.baseline)
        .arg(t.width)
        .arg(t.font.size);
}

inline bool overlap(const QRectF& a, const QRectF& b)
{
    return a.left() < b.right() - tolerance && b.left() < a.right() - tolerance && a.top() < b.bottom() - tolerance &&
           b.top() < a.bottom() - tolerance;
}

// Every pair of texts that overprint each other.
inline QStringList overlaps(const ReportPage& page)
{
    QStringList found;
    const QVector<TextOp> texts = page.texts();
    QVector<QRectF> boxes;
    for (const TextOp& t : texts)
        boxes << inkBox(t);
    for (int i = 0; i < texts.size(); ++i)
        for (int j = i + 1; j < texts.size(); ++j)
            if (overlap(boxes[i], boxes[j]))
                found << describe(texts[i]) + " and " + describe(texts[j]);
    return found;
}

// Texts not wholly inside `area`.
inline QStringList outside(const ReportPage& page, const QRectF& area)
{
    QStringList found;
    for (const TextOp& t : page.texts()) {
        const QRectF box = inkBox(t);
        if (box.left() < area.left() - tolerance || box.right() > area.right() + tolerance ||
            box.top() < area.top() - tolerance || box.bottom() > area.bottom() + tolerance)
            found << describe(t);
    }
    return found;
}

// The boxed cell around a text: the nearest box lines left and right of its
// middle and above and below its middle; none when the text is
// not in a grid.
inline std::optional<QRectF> cellAround(const ReportPage& page, const TextOp& t)
{
    // Found from the text's middle, so that a text running out of its cell
    // on either side is still checked against it.
    const QRectF box = inkBox(t);
    const double midY = box.center().y(), startX = box.center().x();
    std::optional<double> left, right, top, bottom;
    for (const LineOp& l : page.lines()) {
        if (l.x1 == l.x2 && qMin(l.y1, l.y2) <= midY && qMax(l.y1, l.y2) >= midY) {
            if (l.x1 <= startX && (!left || l.x1 > *left))
                left = l.x1;
            if (l.x1 > startX && (!right || l.x1 < *right))
                right = l.x1;
        }
    }
    if (!left || !right)
        return std::nullopt;
    const double midX = (*left + *right) / 2;
    for (const LineOp& l : page.lines()) {
        if (l.y1 == l.y2 && qMin(l.x1, l.x2) <= midX && qMax(l.x1, l.x2) >= midX) {
            if (l.y1 <= midY && (!top || l.y1 > *top))
                top = l.y1;
            if (l.y1 > midY && (!bottom || l.y1 < *bottom))
                bottom = l.y1;
        }
    }
    if (!top || !bottom)
        return std::nullopt;
    return QRectF(QPointF(*left, *top), QPointF(*right, *bottom));
}

// Texts in a grid that run over their cell's box lines; `cells` counts the
// texts found in cells, so that a check cannot pass by finding no grid.
inline QStringList outsideCells(const ReportPage& page, int* cells = nullptr)
{
    QStringList found;
    for (const TextOp& t : page.texts()) {
        const std::optional<QRectF> cell = cellAround(page, t);
        if (!cell)
            continue;
        if (cells)
            ++*cells;
        const QRectF box = inkBox(t);
        if (box.left() < cell->left() - tolerance || box.right() > cell->right() + tolerance ||
            box.top() < cell->top() - tolerance || box.bottom() > cell->bottom() + tolerance)
            found << describe(t) + QString(" in cell %1,%2 to %3,%4")
                                       .arg(cell->left())
                                       .arg(cell->top())
                                       .arg(cell->right())
                                       .arg(cell->bottom());
    }
    return found;
}

}   // namespace LayoutChecks
