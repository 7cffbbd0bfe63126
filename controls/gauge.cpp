#include "controls/gauge.h"

#include "controls/blt_bitmap.h"
#include "controls/gauge_geometry.h"
#include "controls/invalid_operation.h"

#include <QPainter>
#include <QPainterPath>

#include <climits>

namespace {

// Narrowing wraps like the 32-bit arithmetic of the bounds, so the limits next to INT_MIN and
// INT_MAX read as that arithmetic gives them instead of being undefined.
[[noreturn]] void refuseBound(qint64 low, qint64 high)
{
    throw EInvalidOperation(
        QString::asprintf("Value must be between %d and %d", static_cast<int>(low), static_cast<int>(high))
            .toStdString());
}

// Inverts every bit of the destination where the source has one set.
void combineByXor(QImage &destination, const QImage &source)
{
    QPainter painter(&destination);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(0, 0, source);
}

// Qt draws or drops a line's last pixel by its own order of the ends; the gauge's lines must
// leave out their end point, so they are set pixel by pixel.
void drawLine(QPainter &painter, const QLine &line)
{
    const QList<QPoint> pixels = gauge_geometry::linePixels(line);
    painter.drawPoints(pixels.constData(), static_cast<int>(pixels.size()));
}

// A one-pixel pen outlines a QRect one pixel wider and taller than the rectangle says; the geometry
// names the pixels to cover.
QRect outlined(const QRect &covered)
{
    return covered.adjusted(0, 0, -1, -1);
}

} // namespace

TGauge::TGauge(QWidget *parent) : QWidget(parent)
{
    // Every pixel comes from the off-screen picture, so Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

template <typename T> void TGauge::assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    repaint();
}

void TGauge::setMinValue(int value)
{
    if (value == m_minValue)
        return;
    if (value > m_maxValue && !m_loading)
        refuseBound(-2147483647, qint64(m_maxValue) - 1);
    m_minValue = value;
    if (m_progress < value)
        m_progress = value;
    repaint();
}

void TGauge::setMaxValue(int value)
{
    if (value == m_maxValue)
        return;
    if (value < m_minValue && !m_loading)
        refuseBound(qint64(m_minValue) + 1, INT_MAX);
    m_maxValue = value;
    if (m_progress > value)
        m_progress = value;
    repaint();
}

void TGauge::setProgress(int value)
{
    const int before = PercentComplete();
    if (value < m_minValue)
        value = m_minValue;
    else if (value > m_maxValue)
        value = m_maxValue;
    if (value == m_progress)
        return;
    m_progress = value;
    if (PercentComplete() != before)
        repaint();
}

void TGauge::setKind(TGaugeKind value)
{
    assign(m_kind, value);
}

void TGauge::setShowText(bool value)
{
    assign(m_showText, value);
}

void TGauge::setBorderStyle(TBorderStyle value)
{
    assign(m_borderStyle, value);
}

void TGauge::setForeColor(const QColor &value)
{
    assign(m_foreColor, value);
}

void TGauge::setBackColor(const QColor &value)
{
    assign(m_backColor, value);
}

QColor TGauge::Color() const
{
    return palette().color(backgroundRole());
}

void TGauge::setColor(const QColor &value)
{
    QPalette changed = palette();
    changed.setColor(backgroundRole(), value);
    setPalette(changed);
}

int TGauge::PercentComplete() const
{
    return static_cast<int>(
        gauge_geometry::PercentOf(qint64(m_progress) - m_minValue, qint64(m_maxValue) - m_minValue));
}

QRect TGauge::PaintRect() const
{
    return gauge_geometry::paintRect(size(), bordered());
}

void TGauge::paintEvent(QPaintEvent *)
{
    QImage image(size(), QImage::Format_RGB32);
    ClearToBlack(image);
    drawKind(image);
    if (m_showText)
        DrawPercentText(image);
    QPainter(this).drawImage(0, 0, image);
}

// The kind is drawn on black and laid over the black image, so the ring outside PaintRect stays
// black and forms the frame.
void TGauge::drawKind(QImage &image) const
{
    TBltBitmap overlay;
    overlay.MakeLike(image);
    ClearToBlack(overlay);
    {
        QPainter painter(&overlay);
        switch (m_kind) {
        case gkText:
            DrawPlain(painter);
            break;
        case gkHorizontalBar:
        case gkVerticalBar:
            DrawBar(painter);
            break;
        case gkPie:
            DrawPie(painter);
            break;
        case gkNeedle:
            DrawNeedle(painter);
            break;
        }
    }
    combineByXor(image, overlay);
}

void TGauge::ClearToBlack(QImage &image)
{
    image.fill(Qt::black);
}

void TGauge::fillPaintRect(QPainter &painter, const QColor &color) const
{
    painter.fillRect(PaintRect(), color);
}

void TGauge::DrawPlain(QPainter &painter) const
{
    fillPaintRect(painter, m_backColor);
}

void TGauge::DrawBar(QPainter &painter) const
{
    fillPaintRect(painter, m_backColor);
    const QRect filled = m_kind == gkHorizontalBar ? gauge_geometry::horizontalBar(PaintRect(), PercentComplete())
                                                   : gauge_geometry::verticalBar(PaintRect(), PercentComplete());
    painter.fillRect(filled, m_foreColor);
}

void TGauge::DrawPie(QPainter &painter) const
{
    fillPaintRect(painter, Color());
    painter.setPen(QPen(m_foreColor, 1));
    painter.setBrush(m_backColor);
    // Drawn as a path, as Qt draws the sector, so that the sector's rim covers the ellipse's.
    QPainterPath ellipse;
    ellipse.addEllipse(outlined(gauge_geometry::pieEllipse(PaintRect(), bordered())));
    painter.drawPath(ellipse);
    if (PercentComplete() > 0) {
        painter.setBrush(m_foreColor);
        const gauge_geometry::Sector sector = gauge_geometry::pieSector(PaintRect(), bordered(), PercentComplete());
        painter.drawPie(outlined(sector.box), sector.startAngle, sector.spanAngle);
    }
}

void TGauge::DrawNeedle(QPainter &painter) const
{
    fillPaintRect(painter, Color());
    painter.setPen(QPen(m_foreColor, 1));
    painter.setBrush(m_backColor);
    const gauge_geometry::Sector dial = gauge_geometry::needleDial(PaintRect(), bordered());
    painter.drawPie(outlined(dial.box), dial.startAngle, dial.spanAngle);
    drawLine(painter, gauge_geometry::needleBase(PaintRect(), bordered()));
    if (PercentComplete() > 0)
        drawLine(painter, gauge_geometry::needle(width(), PaintRect(), PercentComplete()));
}

void TGauge::DrawPercentText(QImage &image) const
{
    TBltBitmap text;
    text.MakeLike(image);
    ClearToBlack(text);
    {
        QPainter painter(&text);
        QFont plain = font();
        // Every text pixel must be fully set, or the exclusive-or would tint the edges of the glyphs.
        plain.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(plain);
        painter.setPen(Qt::white);
        painter.setBrush(Qt::NoBrush);
        const QString label = QString::asprintf("%d%%", PercentComplete());
        const QFontMetrics metrics = painter.fontMetrics();
        const QPoint origin =
            gauge_geometry::textOrigin(PaintRect(), QSize(metrics.horizontalAdvance(label), metrics.height()));
        painter.setClipRect(PaintRect());
        painter.drawText(origin.x(), origin.y() + metrics.ascent(), label);
    }
    combineByXor(image, text);
}
