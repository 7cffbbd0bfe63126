#include "curve/equivalence_markers.h"

#include "curve/curve_columns.h"
#include "curve/curve_drawing.h"
#include "curve/curve_layout.h"

#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <algorithm>

namespace {

const QColor markerColour(0xB0, 0x00, 0x00);
constexpr int labelGap = 3;
constexpr int labelDistance = 14;

void paintMarkers(QPainter &painter, const QSize &size, const CurveColumns &columns,
                  const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale, qreal pointScale)
{
    const CurveLayout layout(size);
    const double minVolume = GetRowMin(columns.volume);
    const double maxVolume = GetRowMax(columns.volume);
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8 * pointScale);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    // The labels stand at the top, on the side of the line where the curve runs low.
    const qsizetype last = std::clamp<qsizetype>(columns.rowCount, 1, columns.signal.size()) - 1;
    const bool leftFirst = !columns.signal.isEmpty() && columns.signal[last] > columns.signal[0];
    for (qsizetype i = 0; i < points.size(); ++i) {
        const int x = layout.xOf(points[i].volume, minVolume, maxVolume);
        painter.setPen(QPen(markerColour, 1, Qt::DashLine));
        painter.drawLine(x, CurveLayout::top, x, layout.axisY());
        const QString label = equivalenceLabel(int(i) + 1, points[i], unit, locale);
        const int width = metrics.horizontalAdvance(label);
        const int leftSide = x - labelGap - width;
        const int rightSide = x + labelGap;
        const bool fitsLeft = leftSide >= 0;
        const bool fitsRight = rightSide + width <= size.width();
        const int left = (leftFirst && fitsLeft) || !fitsRight ? leftSide : rightSide;
        const QRect box(left, CurveLayout::top + labelGap + int(i) * labelDistance, width, metrics.height());
        painter.fillRect(box, Qt::white);
        painter.setPen(markerColour);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, label);
    }
    painter.restore();
}

} // namespace

void drawEquivalenceMarkers(QImage &picture, const CurveColumns &columns, const QList<EquivalencePoint> &points,
                            SignalUnit unit, const QLocale &locale)
{
    QPainter painter(&picture);
    paintMarkers(painter, picture.size(), columns, points, unit, locale, 1);
}

void drawEquivalenceMarkers(QPainter &painter, const QSize &size, const CurveColumns &columns,
                            const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale)
{
    paintMarkers(painter, size, columns, points, unit, locale, pointsFor(painter, 1));
}

CurveOutcome drawMarkedCurve(QPainter &painter, const QSize &size, const CurveColumns &columns,
                             const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale,
                             const QFont &legendFont)
{
    const CurveOutcome outcome = drawCurve(painter, size, columns, locale, legendFont, unit);
    if (outcome == CurveOutcome::Drawn)
        drawEquivalenceMarkers(painter, size, columns, points, unit, locale);
    return outcome;
}
