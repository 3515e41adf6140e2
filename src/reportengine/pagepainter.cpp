#include "pagepainter.h"
#include "fonts.h"
#include <QPaintDevice>
#include <QPainter>
#include <QSet>

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

struct LineKey {
    double x1, y1, x2, y2, inchWidth;
    int width, style;
    QRgb color;
    bool operator==(const LineKey&) const = default;
};

size_t qHash(const LineKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.x1, k.y1, k.x2, k.y2, k.inchWidth, k.width, k.style, k.color);
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
    // Neighbouring cells share their box lines; each is drawn once.
    QSet<LineKey> drawn;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Shades first, so that no text or line disappears under a later fill.
    for (const PageOp& op : page.ops)
        if (const ShadeOp* s = std::get_if<ShadeOp>(&op))
            drawShade(c, *s);
    for (const PageOp& op : page.ops) {
        if (const TextOp* t = std::get_if<TextOp>(&op))
            drawText(c, *t);
        else if (const LineOp* l = std::get_if<LineOp>(&op)) {
            const LineKey key{
                l->x1, l->y1, l->x2, l->y2, l->inchWidth, l->pen.width, int(l->pen.style), l->pen.color.rgba()};
            if (!drawn.contains(key)) {
                drawn.insert(key);
                drawLine(c, *l);
            }
        }
    }
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
