#include "commands/animation_strip.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

constexpr int kFrameMs = 66;
const QColor kFolder(0xF0, 0xC8, 0x50);
const QColor kFolderEdge(0x90, 0x70, 0x20);

void drawFolder(QPainter &painter, const QPointF &at)
{
    QPainterPath folder;
    folder.moveTo(at + QPointF(0, 8));
    folder.lineTo(at + QPointF(12, 8));
    folder.lineTo(at + QPointF(15, 4));
    folder.lineTo(at + QPointF(28, 4));
    folder.lineTo(at + QPointF(31, 8));
    folder.lineTo(at + QPointF(48, 8));
    folder.lineTo(at + QPointF(48, 40));
    folder.lineTo(at + QPointF(0, 40));
    folder.closeSubpath();
    painter.setPen(kFolderEdge);
    painter.setBrush(kFolder);
    painter.drawPath(folder);
    painter.drawLine(at + QPointF(0, 14), at + QPointF(48, 14));
}

void drawSheet(QPainter &painter, const QPointF &centre, double angle)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    painter.setPen(Qt::darkGray);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(-9, -11, 18, 22));
    for (int line = 0; line < 4; ++line)
        painter.drawLine(QPointF(-6, -7 + 4.5 * line), QPointF(6, -7 + 4.5 * line));
    painter.restore();
}

} // namespace

AnimationStrip::AnimationStrip(QWidget *parent) : QWidget(parent)
{
    m_timer.setInterval(kFrameMs);
    connect(&m_timer, &QTimer::timeout, this, &AnimationStrip::nextFrame);
}

void AnimationStrip::nextFrame()
{
    m_frame = (m_frame + 1) % kFrameCount;
    update();
}

void AnimationStrip::showEvent(QShowEvent *)
{
    m_frame = 0;
    m_timer.start();
}

void AnimationStrip::hideEvent(QHideEvent *)
{
    m_timer.stop();
}

void AnimationStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF from(20, 16);
    const QPointF to(width() - 68, 16);
    drawFolder(painter, from);
    drawFolder(painter, to);
    // The sheet rises out of the first folder, arcs over and drops into the second.
    const double t = double(m_frame) / (kFrameCount - 1);
    const double x = from.x() + 24 + t * (to.x() - from.x());
    const double y = 24 - std::sin(t * std::numbers::pi) * 18;
    drawSheet(painter, QPointF(x, y), -20 + 40 * t);
}
