#include "icons.h"
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {
const QColor Ink(40, 52, 70);
const QColor CourtGreen(46, 125, 74);
const QColor BallYellow(214, 224, 52);

// Draws on a 32 x 32 canvas; the icon is rendered at a few sizes from it.
QIcon drawn(const std::function<void(QPainter&)>& paint)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        paint(p);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void person(QPainter& p, QPointF at, qreal scale, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(at.x(), at.y() - 7 * scale), 4.5 * scale, 4.5 * scale);
    QPainterPath body;
    body.addRoundedRect(QRectF(at.x() - 7 * scale, at.y() - 1 * scale, 14 * scale, 12 * scale), 5 * scale, 5 * scale);
    p.drawPath(body);
}

void ball(QPainter& p, QPointF centre, qreal radius)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(BallYellow);
    p.drawEllipse(centre, radius, radius);
}
}   // namespace

namespace Icons {

QIcon players()
{
    return drawn([](QPainter& p) {
        person(p, {14, 16}, 1.2, QColor(52, 101, 164));
        ball(p, {26, 24}, 4);
    });
}

QIcon courts()
{
    return drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(CourtGreen);
        p.drawRect(QRectF(2, 6, 28, 20));
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4, 8, 24, 16));
        p.drawLine(QPointF(16, 5), QPointF(16, 27));
        p.drawLine(QPointF(8, 16), QPointF(24, 16));
    });
}

QIcon groups()
{
    return drawn([](QPainter& p) {
        person(p, {9, 17}, 0.85, QColor(114, 159, 207));
        person(p, {23, 17}, 0.85, QColor(114, 159, 207));
        person(p, {16, 20}, 1.0, QColor(52, 101, 164));
    });
}

QIcon leagues()
{
    return drawn([](QPainter& p) {
        // A cup on a plinth.
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(230, 180, 40));
        QPainterPath cup;
        cup.moveTo(8, 4);
        cup.lineTo(24, 4);
        cup.cubicTo(24, 16, 20, 19, 16, 19);
        cup.cubicTo(12, 19, 8, 16, 8, 4);
        p.drawPath(cup);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 6, 8, 8), 90 * 16, 180 * 16);
        p.drawArc(QRectF(21, 6, 8, 8), 270 * 16, 180 * 16);
        p.setBrush(QColor(230, 180, 40));
        p.drawRect(QRectF(14, 19, 4, 5));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(9, 24, 14, 5));
    });
}

QIcon exit()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(QColor(160, 110, 60));
        p.drawRect(QRectF(5, 3, 14, 26));
        p.setPen(QPen(QColor(204, 0, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(14, 16), QPointF(29, 16));
        p.drawLine(QPointF(24, 11), QPointF(29, 16));
        p.drawLine(QPointF(24, 21), QPointF(29, 16));
    });
}

// The sheet of a calendar with its coloured heading, under the time-off,
// schedule and season images.
static void calendarSheet(QPainter& p, const QColor& heading)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 6, 24, 22));
    p.setBrush(heading);
    p.drawRect(QRectF(4, 6, 24, 6));
}

QIcon timeOff()
{
    return drawn([](QPainter& p) {
        calendarSheet(p, QColor(204, 0, 0));
        p.setPen(QPen(QColor(204, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 16), QPointF(21, 25));
        p.drawLine(QPointF(21, 16), QPointF(11, 25));
    });
}

QIcon schedule()
{
    return drawn([](QPainter& p) {
        calendarSheet(p, CourtGreen);
        p.setPen(QPen(Ink, 1));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.drawRect(QRectF(7 + col * 5.5, 14 + row * 4.5, 3, 2.5));
    });
}

QIcon season()
{
    return drawn([](QPainter& p) {
        calendarSheet(p, CourtGreen);
        // Two dates trading places.
        p.setPen(QPen(Ink, 1.8));
        p.drawLine(QPointF(9, 17), QPointF(23, 17));
        p.drawLine(QPointF(19, 14), QPointF(23, 17));
        p.drawLine(QPointF(9, 23), QPointF(23, 23));
        p.drawLine(QPointF(9, 23), QPointF(13, 26));
    });
}

QIcon print()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(186, 189, 182));
        p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 19, 14, 10));
        p.drawLine(QPointF(12, 23), QPointF(20, 23));
        p.drawLine(QPointF(12, 26), QPointF(20, 26));
    });
}

QIcon addNew()
{
    return drawn([](QPainter& p) {
        // A sheet with a green plus, dark enough to read on any tool bar.
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 3, 17, 24));
        p.drawLine(QPointF(9, 10), QPointF(18, 10));
        p.drawLine(QPointF(9, 15), QPointF(16, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(CourtGreen);
        p.drawEllipse(QPointF(22, 22), 8.5, 8.5);
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(22, 17), QPointF(22, 27));
        p.drawLine(QPointF(17, 22), QPointF(27, 22));
    });
}

QIcon application()
{
    return drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(CourtGreen);
        p.drawRoundedRect(QRectF(2, 4, 28, 24), 3, 3);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawLine(QPointF(16, 5), QPointF(16, 27));
        p.drawLine(QPointF(6, 16), QPointF(26, 16));
        ball(p, {23, 10}, 5);
    });
}

QIcon editorWindow(RecordKind recordKind)
{
    return drawn([recordKind](QPainter& p) {
        // The schedule sheet with the list's sign in its corner.
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 5, 22, 22));
        p.setBrush(recordKind == RecordKind::League ? QColor(230, 180, 40) : QColor(52, 101, 164));
        p.drawRect(QRectF(3, 5, 22, 5));
        p.setPen(QPen(Ink, 1));
        for (int row = 0; row < 3; ++row)
            p.drawLine(QPointF(6, 14 + row * 4), QPointF(22, 14 + row * 4));
        ball(p, {25, 24}, 5);
    });
}

QIcon listWindow(RecordKind listKind)
{
    return listKind == RecordKind::League ? leagues() : groups();
}

}   // namespace Icons
