#include "app/status_led.h"

#include <QPainter>

StatusLed::StatusLed(QWidget *parent) : QWidget(parent)
{
    setFixedSize(21, 15);
}

void StatusLed::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void StatusLed::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(m_color);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
