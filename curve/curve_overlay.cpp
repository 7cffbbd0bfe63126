#include "curve/curve_overlay.h"

#include "curve/curve_drawing.h"
#include "curve/curve_frame.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

constexpr int legendSwatch = 20;
constexpr int legendGap = 6;

/// The rows of a series that are drawn.
qsizetype drawnRows(const CurveColumns &columns)
{
    return std::min({columns.rowCount, columns.volume.size(), columns.signal.size()});
}

struct Bounds
{
    double volumeMin = 0.0;
    double volumeMax = 0.0;
    double signalMin = 0.0;
    double signalMax = 0.0;
};

Bounds boundsOf(const QList<CurveSeries> &series)
{
    QList<double> volumes;
    QList<double> signalValues;
    for (const CurveSeries &one : series) {
        volumes += one.columns.volume.first(drawnRows(one.columns));
        signalValues += one.columns.signal.first(drawnRows(one.columns));
    }
    return {GetRowMin(volumes), GetRowMax(volumes), GetRowMin(signalValues), GetRowMax(signalValues)};
}

void drawLegend(QPainter &painter, const CurveLayout &layout, const QList<CurveSeries> &series)
{
    if (series.isEmpty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    int textWidth = 0;
    for (const CurveSeries &one : series)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(one.name));
    const int width = legendSwatch + 2 * legendGap + textWidth;
    const int left = std::max(CurveLayout::left + legendGap, layout.axisEndX() - width - legendGap);
    const int height = int(series.size()) * metrics.height() + legendGap;
    // Rising curves end high on the right, falling ones low: the legend takes the other corner.
    const CurveColumns &first = series.first().columns;
    const bool rising = drawnRows(first) > 1 && first.signal[drawnRows(first) - 1] > first.signal[0];
    const int top = rising ? layout.axisY() - legendGap - height : CurveLayout::top + legendGap;
    const QRect box(left, top, width, height);
    painter.fillRect(box, Qt::white);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(box);
    for (qsizetype i = 0; i < series.size(); ++i) {
        const int y = box.top() + legendGap / 2 + int(i) * metrics.height();
        painter.setPen(QPen(curveSeriesColour(i), 2));
        painter.drawLine(left + legendGap / 2, y + metrics.height() / 2, left + legendGap / 2 + legendSwatch,
                         y + metrics.height() / 2);
        painter.setPen(Qt::black);
        painter.drawText(QRect(left + legendSwatch + legendGap, y, textWidth, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, series[i].name);
    }
}

} // namespace

QColor curveSeriesColour(qsizetype index)
{
    static const QList<QColor> palette{QColor(0x1F, 0x4E, 0xB4), QColor(0xD0, 0x50, 0x00), QColor(0x1A, 0x8C, 0x2E),
                                       QColor(0xB0, 0x1C, 0x8C), QColor(0x00, 0x8C, 0x9A), QColor(0x80, 0x60, 0x00),
                                       QColor(0x60, 0x30, 0xC0), QColor(0xC0, 0x10, 0x30)};
    return palette[index % palette.size()];
}

void drawCurveOverlay(QPainter &painter, const QSize &size, const QList<CurveSeries> &series,
                      std::optional<SignalUnit> unit, const QLocale &locale)
{
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8 * pointsFor(painter, 1));
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 1));
    CurveFrame frame(painter, size, locale);
    const CurveLayout &layout = frame.layout();
    const Bounds bounds = boundsOf(series);
    for (qsizetype i = 0; i < series.size(); ++i) {
        const CurveColumns &columns = series[i].columns;
        QPolygon points;
        for (qsizetype row = 0; row < drawnRows(columns); ++row)
            points << QPoint(layout.xOf(columns.volume[row], bounds.volumeMin, bounds.volumeMax),
                             layout.yOf(columns.signal[row], bounds.signalMin, bounds.signalMax));
        painter.setPen(QPen(curveSeriesColour(i), 2));
        painter.drawPolyline(points);
    }
    painter.setPen(QPen(Qt::black, 1));
    frame.drawScales(bounds.volumeMin, bounds.volumeMax, bounds.signalMin, bounds.signalMax);
    frame.drawAxes();
    frame.drawCaptions(CurveFrame::signalName(unit));
    drawLegend(painter, layout, series);
    painter.restore();
}
