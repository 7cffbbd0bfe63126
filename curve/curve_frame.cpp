#include "curve/curve_frame.h"

#include "curve/curve_labels.h"

#include <QFontMetrics>
#include <QPainter>

CurveFrame::CurveFrame(QPainter &painter, const QSize &size, const QLocale &locale)
    : m_painter(painter), m_layout(size), m_locale(locale)
{
}

void CurveFrame::drawScales(double volumeMin, double volumeMax, double signalMin, double signalMax)
{
    for (int k = 0; k <= CurveLayout::divisions; ++k) {
        m_painter.drawLine(m_layout.verticalTick(k));
        drawText(m_layout.verticalLabel(k), generalLabel(tickValue(signalMin, signalMax, k), m_locale));
    }
    for (int k = 0; k <= CurveLayout::divisions; ++k) {
        m_painter.drawLine(m_layout.horizontalTick(k));
        drawText(m_layout.horizontalLabel(k), fixedLabel(tickValue(volumeMin, volumeMax, k), m_locale));
    }
}

void CurveFrame::drawAxes()
{
    const QPoint corner(CurveLayout::left, m_layout.axisY());
    m_painter.drawLine(QPoint(CurveLayout::left, CurveLayout::top), corner);
    m_painter.drawLine(corner, QPoint(m_layout.axisEndX(), m_layout.axisY()));
}

void CurveFrame::drawText(QPoint topLeft, const QString &text)
{
    const QFontMetrics metrics = m_painter.fontMetrics();
    const QRect box(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
    m_painter.fillRect(box, Qt::white);
    m_painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

void CurveFrame::drawCaptions(const QString &signal)
{
    drawText({CurveLayout::labelOffset, CurveLayout::legendTop}, signal);
    drawText(m_layout.volumeCaption(), QStringLiteral("V/ml"));
}

QString CurveFrame::signalName(std::optional<SignalUnit> unit)
{
    if (!unit)
        return QStringLiteral("pH mV");
    return *unit == SignalUnit::pH ? QStringLiteral("pH") : QStringLiteral("mV");
}
