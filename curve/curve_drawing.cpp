#include "curve_drawing.h"

#include "curve/curve_columns.h"
#include "curve/curve_frame.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

struct Range
{
    double min;
    double max;
};

Range rangeOf(const QList<double> &column)
{
    return {GetRowMin(column), GetRowMax(column)};
}

QFont arial(qreal pointScale)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8 * pointScale);
    return font;
}

class CurvePainter
{
  public:
    CurvePainter(QPainter &painter, const QSize &size, const QLocale &locale, const QFont &legendFont, qreal pointScale)
        : m_painter(painter), m_frame(painter, size, locale), m_legendFont(legendFont)
    {
        m_painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        m_painter.setFont(arial(pointScale));
        m_legendFont.setPointSizeF(8 * pointScale);
    }

    /// Joins the rows in table order.
    void drawLine(const QList<double> &xs, const QList<double> &ys, qsizetype rowCount, Range x, Range y,
                  Qt::PenStyle style)
    {
        const CurveLayout &layout = m_frame.layout();
        QPolygon points;
        for (qsizetype row = 0; row < std::min({rowCount, xs.size(), ys.size()}); ++row)
            points << QPoint(layout.xOf(xs[row], x.min, x.max), layout.yOf(ys[row], y.min, y.max));
        m_painter.setPen(QPen(Qt::black, 1, style));
        m_painter.drawPolyline(points);
        m_painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    }

    void drawScales(Range volume, Range signal) { m_frame.drawScales(volume.min, volume.max, signal.min, signal.max); }

    void drawAxes() { m_frame.drawAxes(); }

    void drawCaptions(std::optional<SignalUnit> unit)
    {
        m_frame.drawCaptions(CurveFrame::signalName(unit));
        m_painter.setFont(m_legendFont);
        m_frame.drawText(m_frame.layout().legendLine(0), QStringLiteral("__ ") + CurveFrame::signalName(unit));
        m_frame.drawText(m_frame.layout().legendLine(1), QStringLiteral(".. 1st derivative"));
    }

  private:
    QPainter &m_painter;
    CurveFrame m_frame;
    QFont m_legendFont;
};

CurveOutcome paintCurve(QPainter &painter, const QSize &size, const CurveColumns &columns, const QLocale &locale,
                        const QFont &legendFont, std::optional<SignalUnit> unit, qreal pointScale)
{
    if (GetRowMax(columns.volume) == 0 || GetRowMax(columns.signal) == 0 || GetRowMax(columns.derivative) == 0)
        return CurveOutcome::DivisionByZero;
    const Range volume = rangeOf(columns.volume);
    const Range signal = rangeOf(columns.signal);
    painter.save();
    CurvePainter curve(painter, size, locale, legendFont, pointScale);
    curve.drawLine(columns.volume, columns.signal, columns.rowCount, volume, signal, Qt::SolidLine);
    curve.drawLine(columns.volume, columns.derivative, columns.rowCount, volume, rangeOf(columns.derivative),
                   Qt::DotLine);
    curve.drawScales(volume, signal);
    curve.drawAxes();
    curve.drawCaptions(unit);
    painter.restore();
    return CurveOutcome::Drawn;
}

} // namespace

CurveOutcome drawCurve(QImage &picture, const CurveColumns &columns, const QLocale &locale, const QFont &legendFont)
{
    picture.fill(Qt::white);
    QPainter painter(&picture);
    return paintCurve(painter, picture.size(), columns, locale, legendFont, std::nullopt, 1);
}

CurveOutcome drawCurve(QPainter &painter, const QSize &size, const CurveColumns &columns, const QLocale &locale,
                       const QFont &legendFont, std::optional<SignalUnit> unit)
{
    return paintCurve(painter, size, columns, locale, legendFont, unit, pointsFor(painter, 1));
}

qreal pointsFor(const QPainter &painter, qreal points)
{
    constexpr qreal pictureDpi = 96;
    return points * pictureDpi / painter.device()->logicalDpiY();
}
