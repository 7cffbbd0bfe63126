#include "method/ui/method_icons.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor kGreen(0x1E, 0xA0, 0x3C);
const QColor kBlue(0x1E, 0x50, 0xC8);

/// A transparent square picture of the given size, drawn by draw(painter).
template <typename Draw> QPixmap drawn(int size, Draw draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    return pixmap;
}

/// A filled arrow from its tail to its tip, with a head of the given size.
void drawArrow(QPainter &painter, QPointF tail, QPointF tip, qreal head, const QColor &colour)
{
    const QLineF shaft(tip, tail);
    QLineF side = shaft;
    side.setLength(head);
    QLineF left = side;
    left.setAngle(shaft.angle() + 35);
    QLineF right = side;
    right.setAngle(shaft.angle() - 35);
    painter.setPen(QPen(colour, head / 2.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(tail, tip - (tip - tail) / shaft.length() * (head / 2));
    painter.setPen(QPen(colour.darker(140), 1));
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF({tip, left.p2(), right.p2()}));
}

/// A sheet with a folded corner.
void drawSheet(QPainter &painter, const QRectF &sheet)
{
    const qreal fold = sheet.width() / 3;
    QPainterPath path;
    path.moveTo(sheet.topLeft());
    path.lineTo(sheet.right() - fold, sheet.top());
    path.lineTo(sheet.right(), sheet.top() + fold);
    path.lineTo(sheet.bottomRight());
    path.lineTo(sheet.bottomLeft());
    path.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
    painter.drawLine(QPointF(sheet.right() - fold, sheet.top()), QPointF(sheet.right() - fold, sheet.top() + fold));
    painter.drawLine(QPointF(sheet.right() - fold, sheet.top() + fold), QPointF(sheet.right(), sheet.top() + fold));
}

void drawTextLines(QPainter &painter, qreal left, qreal right, qreal top, qreal bottom)
{
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    for (qreal y = top; y <= bottom; y += 2.5)
        painter.drawLine(QPointF(left, y), QPointF(right, y));
}

} // namespace

namespace method_icons {

QPixmap treeItem(bool selected)
{
    return drawn(20, [selected](QPainter &painter) {
        const QColor fill = selected ? kBlue : kGreen;
        painter.setPen(QPen(fill.darker(150), 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 2, 2);
        drawArrow(painter, QPointF(5, 10), QPointF(15.5, 10), 6, Qt::black);
    });
}

QPixmap info()
{
    return drawn(16, [](QPainter &painter) {
        painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        painter.setBrush(QColor(0xC8, 0xC8, 0xC8));
        painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBlue);
        painter.drawEllipse(QRectF(6.5, 2.5, 3, 3));
        painter.drawRect(QRectF(6.5, 6.5, 3, 6.5));
        painter.drawRect(QRectF(5, 11.5, 6, 1.5));
    });
}

QPixmap upload()
{
    return drawn(20, [](QPainter &painter) {
        drawSheet(painter, QRectF(1.5, 1.5, 12, 16));
        drawTextLines(painter, 3.5, 8.5, 5.5, 15.5);
        drawArrow(painter, QPointF(7, 11), QPointF(19, 11), 6, kGreen);
    });
}

QPixmap load()
{
    return drawn(20, [](QPainter &painter) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(1.5, 4.5, 15, 13));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBlue);
        painter.drawRect(QRectF(2, 5, 14, 3));
        drawArrow(painter, QPointF(12.5, 18), QPointF(12.5, 1), 7, kGreen);
    });
}

QPixmap save()
{
    return drawn(20, [](QPainter &painter) {
        drawSheet(painter, QRectF(1.5, 1.5, 13, 17));
        drawTextLines(painter, 3.5, 10, 6, 16);
        painter.translate(15, 9);
        painter.rotate(45);
        painter.setPen(QPen(Qt::black, 0.8));
        painter.setBrush(QColor(0xF0, 0xC0, 0x30));
        painter.drawRect(QRectF(-2, -7, 4, 10));
        painter.setBrush(QColor(0xE8, 0x90, 0x90));
        painter.drawRect(QRectF(-2, -9, 4, 2));
        painter.setBrush(QColor(0xF5, 0xDE, 0xB3));
        painter.drawPolygon(QPolygonF({QPointF(-2, 3), QPointF(2, 3), QPointF(0, 7)}));
    });
}

QPixmap slot(bool predefined)
{
    return drawn(20, [predefined](QPainter &painter) {
        painter.setPen(QPen(QColor(0x20, 0x40, 0x80), 1));
        painter.setBrush(QColor(0x40, 0x80, 0xE0));
        painter.drawEllipse(QRectF(6, 1.5, 7, 7));
        painter.drawRoundedRect(QRectF(3.5, 9.5, 12, 9), 4, 4);
        if (predefined) {
            painter.setPen(QPen(Qt::white, 1));
            painter.setBrush(QColor(0xD0, 0x10, 0x10));
            painter.drawEllipse(QRectF(10.5, 10.5, 9, 9));
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawRect(QRectF(12.5, 14, 5, 2));
        }
    });
}

QPixmap titration(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(0xF4, 0xF8, 0xFC));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width;
    const qreal h = height;

    // Burette above the flask.
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
    painter.setBrush(QColor(0xDD, 0xEE, 0xFF));
    painter.drawRect(QRectF(w * 0.22, h * 0.04, w * 0.06, h * 0.42));
    for (int tick = 1; tick < 8; ++tick)
        painter.drawLine(QPointF(w * 0.22, h * (0.04 + 0.05 * tick)), QPointF(w * 0.25, h * (0.04 + 0.05 * tick)));
    painter.drawLine(QPointF(w * 0.25, h * 0.46), QPointF(w * 0.25, h * 0.54));
    painter.setBrush(QColor(0x30, 0x60, 0xC0));
    painter.drawEllipse(QPointF(w * 0.25, h * 0.58), w * 0.012, h * 0.02);

    // Flask with its liquid.
    QPainterPath flask;
    flask.moveTo(w * 0.22, h * 0.62);
    flask.lineTo(w * 0.22, h * 0.70);
    flask.lineTo(w * 0.08, h * 0.94);
    flask.lineTo(w * 0.42, h * 0.94);
    flask.lineTo(w * 0.28, h * 0.70);
    flask.lineTo(w * 0.28, h * 0.62);
    painter.setBrush(Qt::white);
    painter.drawPath(flask);
    QPainterPath liquid;
    liquid.moveTo(w * 0.135, h * 0.85);
    liquid.lineTo(w * 0.08, h * 0.94);
    liquid.lineTo(w * 0.42, h * 0.94);
    liquid.lineTo(w * 0.365, h * 0.85);
    liquid.closeSubpath();
    painter.setBrush(QColor(0xE0, 0x70, 0xB0));
    painter.drawPath(liquid);

    // The curve: signal over volume with its steep rise at the equivalence point.
    const QRectF plot(w * 0.52, h * 0.10, w * 0.42, h * 0.80);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    QPainterPath curve;
    for (int step = 0; step <= 60; ++step) {
        const qreal x = step / 60.0;
        const qreal y = 0.15 + 0.7 / (1 + std::exp(-(x - 0.55) * 18));
        const QPointF point(plot.left() + x * plot.width(), plot.bottom() - y * plot.height());
        if (step == 0)
            curve.moveTo(point);
        else
            curve.lineTo(point);
    }
    painter.setPen(QPen(kBlue, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    painter.setPen(QPen(kGreen, 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left() + 0.55 * plot.width(), plot.bottom()),
                     QPointF(plot.left() + 0.55 * plot.width(), plot.top()));
    return pixmap;
}

} // namespace method_icons
