#include "curve/equivalence_markers.h"

#include "curve/curve_columns.h"
#include "curve/curve_layout.h"

#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>

namespace {

const QColor markerColour(0xB0, 0x00, 0x00);
constexpr int labelGap = 3;
constexpr int labelDistance = 14;

} // namespace

void drawEquivalenceMarkers(QImage &picture, const CurveColumns &columns, const QList<EquivalencePoint> &points,
                            SignalUnit unit, const QLocale &locale)
{
    const CurveLayout layout(picture.size());
    const double minVolume = GetRowMin(columns.volume);
    const double maxVolume = GetRowMax(columns.volume);
    QPainter painter(&picture);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    for (qsizetype i = 0; i < points.size(); ++i) {
        const int x = layout.xOf(points[i].volume, minVolume, maxVolume);
        painter.setPen(QPen(markerColour, 1, Qt::DashLine));
        painter.drawLine(x, CurveLayout::top, x, layout.axisY());
        const QString label = equivalenceLabel(int(i) + 1, points[i], unit, locale);
        const int width = metrics.horizontalAdvance(label);
        const int left = x + labelGap + width < picture.width() ? x + labelGap : x - labelGap - width;
        const QRect box(left, CurveLayout::top + labelGap + int(i) * labelDistance, width, metrics.height());
        painter.fillRect(box, Qt::white);
        painter.setPen(markerColour);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, label);
    }
}
