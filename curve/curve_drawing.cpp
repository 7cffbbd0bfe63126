#include "curve_drawing.h"

#include "curve/curve_columns.h"
#include "curve/curve_labels.h"
#include "curve/curve_layout.h"

#include <QFontMetrics>
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

QString unitName(std::optional<SignalUnit> unit)
{
    if (!unit)
        return QStringLiteral("pH mV");
    return *unit == SignalUnit::pH ? QStringLiteral("pH") : QStringLiteral("mV");
}

class CurvePainter
{
  public:
    CurvePainter(QPainter &painter, const QSize &size, const QLocale &locale, const QFont &legendFont, qreal pointScale)
        : m_painter(painter), m_layout(size), m_locale(locale), m_legendFont(legendFont)
    {
        m_painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        m_painter.setFont(arial(pointScale));
        m_legendFont.setPointSizeF(8 * pointScale);
    }

    /// Joins the rows in table order.
    void drawLine(const QList<double> &xs, const QList<double> &ys, qsizetype rowCount, Range x, Range y,
                  Qt::PenStyle style)
    {
        QPolygon points;
        for (qsizetype row = 0; row < std::min({rowCount, xs.size(), ys.size()}); ++row)
            points << QPoint(m_layout.xOf(xs[row], x.min, x.max), m_layout.yOf(ys[row], y.min, y.max));
        m_painter.setPen(QPen(Qt::black, 1, style));
        m_painter.drawPolyline(points);
        m_painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    }

    void drawScales(Range volume, Range signal)
    {
        for (int k = 0; k <= CurveLayout::divisions; ++k) {
            m_painter.drawLine(m_layout.verticalTick(k));
            drawText(m_layout.verticalLabel(k), generalLabel(tickValue(signal.min, signal.max, k), m_locale));
        }
        for (int k = 0; k <= CurveLayout::divisions; ++k) {
            m_painter.drawLine(m_layout.horizontalTick(k));
            drawText(m_layout.horizontalLabel(k), fixedLabel(tickValue(volume.min, volume.max, k), m_locale));
        }
    }

    void drawAxes()
    {
        const QPoint corner(CurveLayout::left, m_layout.axisY());
        m_painter.drawLine(QPoint(CurveLayout::left, CurveLayout::top), corner);
        m_painter.drawLine(corner, QPoint(m_layout.axisEndX(), m_layout.axisY()));
    }

    void drawCaptions(std::optional<SignalUnit> unit)
    {
        drawText({CurveLayout::labelOffset, CurveLayout::legendTop}, unitName(unit));
        drawText(m_layout.volumeCaption(), QStringLiteral("V/ml"));
        m_painter.setFont(m_legendFont);
        drawText(m_layout.legendLine(0), QStringLiteral("__ ") + unitName(unit));
        drawText(m_layout.legendLine(1), QStringLiteral(".. 1st derivative"));
    }

  private:
    // Text stands on its own white box with its top left corner at the given point.
    void drawText(QPoint topLeft, const QString &text)
    {
        const QFontMetrics metrics = m_painter.fontMetrics();
        const QRect box(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
        m_painter.fillRect(box, Qt::white);
        m_painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    }

    QPainter &m_painter;
    CurveLayout m_layout;
    const QLocale &m_locale;
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
