#include "curve/curve_view.h"

#include <QPainter>

CurveView::CurveView(Paint paint, QWidget *parent) : QWidget(parent), m_paint(std::move(paint))
{
    setMinimumSize(320, 220);
}

void CurveView::setPaint(Paint paint)
{
    m_paint = std::move(paint);
    update();
}

void CurveView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_paint)
        m_paint(painter, size());
}
