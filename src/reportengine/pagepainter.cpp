#include "pagepainter.h"
#include "fonts.h"
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <tuple>

namespace PagePainter {

namespace {
struct Context {
    QPainter& painter;
    double dpi;
    QPointF origin;
    Scale scale;
    double deviceDpiY;
    // The font last set: setting a font is costly on a PDF, and runs of
    // text in one font are the rule.
    FontSpec lastFont{};
    double lastPoints = -1;

    QPointF at(double x, double y) const { return origin + QPointF(x * scale.x * dpi, y * scale.y * dpi); }
};

// Lines of one pen along the same row or column that touch or overlap are
// drawn as one: a grid's cells share their box lines, and a PDF pays for
// every line it draws.
QVector<LineOp> mergedLines(const ReportPage& page)
{
    struct Straight {
        bool vertical;
        double at, from, to;   // the fixed coordinate and the span along it
        LineOp line;
    };
    auto key = [](const Straight& s) {
        return std::make_tuple(s.vertical, s.at, s.line.inchWidth, s.line.pen.width, int(s.line.pen.style),
                               s.line.pen.color.rgba());
    };
    QVector<LineOp> out;
    QVector<Straight> straight;
    for (const PageOp& op : page.ops)
        if (const LineOp* l = std::get_if<LineOp>(&op)) {
            if (l->y1 == l->y2)
                straight << Straight{false, l->y1, qMin(l->x1, l->x2), qMax(l->x1, l->x2), *l};
            else if (l->x1 == l->x2)
                straight << Straight{true, l->x1, qMin(l->y1, l->y2), qMax(l->y1, l->y2), *l};
            else
                out << *l;
        }
    std::sort(straight.begin(), straight.end(), [&](const Straight& a, const Straight& b) {
        return std::tuple_cat(key(a), std::make_tuple(a.from)) < std::tuple_cat(key(b), std::make_tuple(b.from));
    });
    constexpr double touching = 1e-9;
    for (int i = 0; i < straight.size();) {
        Straight run = straight[i];
        int j = i + 1;
        for (; j < straight.size() && key(straight[j]) == key(run) && straight[j].from <= run.to + touching; ++j)
            run.to = qMax(run.to, straight[j].to);
        LineOp line = run.line;
        if (run.vertical) {
            line.y1 = run.from;
            line.y2 = run.to;
        } else {
            line.x1 = run.from;
            line.x2 = run.to;
        }
        out << line;
        i = j;
    }
    return out;
}

void drawText(Context& c, const TextOp& t)
{
    // The point size that gives `size / 72 * dpi` device pixels on this device.
    const double points = t.font.size * c.scale.y * c.dpi / c.deviceDpiY;
    if (points != c.lastPoints || !(t.font == c.lastFont)) {
        c.painter.setFont(ReportFonts::font(t.font, points));
        c.lastFont = t.font;
        c.lastPoints = points;
    }
    c.painter.setPen(t.color);
    c.painter.drawText(c.at(t.x, t.baseline), t.text);
}

void drawLine(const Context& c, const LineOp& l)
{
    QPen pen(l.pen.color, 0, l.pen.style, Qt::SquareCap, Qt::MiterJoin);
    if (l.inchWidth > 0)
        pen.setWidthF(l.inchWidth * c.dpi * c.scale.y);
    else
        pen.setWidth(l.pen.width);   // device pixels; 0 is a hairline
    c.painter.setPen(pen);
    c.painter.drawLine(c.at(l.x1, l.y1), c.at(l.x2, l.y2));
}

void drawShade(const Context& c, const ShadeOp& s)
{
    const int level = 255 - qBound(0, s.percent, 100) * 255 / 100;
    c.painter.fillRect(QRectF(c.at(s.left, s.top), c.at(s.right, s.bottom)), QColor(level, level, level));
}
}   // namespace

void draw(QPainter& painter, const ReportPage& page, double dpi, QPointF origin, Scale scale)
{
    const QPaintDevice* device = painter.device();
    const double deviceDpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : dpi;
    Context c{painter, dpi, origin, scale, deviceDpi};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Shades first, so that no text or line disappears under a later fill;
    // then the lines, then the texts a font at a time: changing the font is
    // what costs most on a PDF, and a grid's cells change it at every cell.
    for (const PageOp& op : page.ops)
        if (const ShadeOp* s = std::get_if<ShadeOp>(&op))
            drawShade(c, *s);
    for (const LineOp& l : mergedLines(page))
        drawLine(c, l);
    QVector<const TextOp*> texts;
    for (const PageOp& op : page.ops)
        if (const TextOp* t = std::get_if<TextOp>(&op))
            texts << t;
    auto fontOrder = [](const TextOp* a, const TextOp* b) {
        return std::tie(a->font.size, a->font.bold, a->font.italic, a->font.underline, a->font.family) <
               std::tie(b->font.size, b->font.bold, b->font.italic, b->font.underline, b->font.family);
    };
    std::stable_sort(texts.begin(), texts.end(), fontOrder);
    for (const TextOp* t : std::as_const(texts))
        drawText(c, *t);
    painter.restore();
}

QImage image(const ReportPage& page, PaperGeometry paper, double dpi, Scale scale)
{
    QImage img(qMax(1, qRound(paper.width * dpi)), qMax(1, qRound(paper.height * dpi)), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    img.setDotsPerMeterX(dotsPerMeter);
    img.setDotsPerMeterY(dotsPerMeter);
    img.fill(Qt::white);
    QPainter painter(&img);
    draw(painter, page, dpi, {}, scale);
    return img;
}

}   // namespace PagePainter
