#pragma once

#include "analysis/result_text.h"
#include "curve/curve_drawing.h"

class QImage;
class QLocale;
class QPainter;
class QFont;
class QSize;
struct CurveColumns;

/// Marks equivalence points over a curve that drawCurve drew into the picture from the same
/// columns: a dashed vertical line through the plot area at each point's volume, and its label
/// ("EQP 1: 12.22 ml, pH 8.78") beside the line's top, on the side where the curve runs low,
/// staggered downwards and kept inside the picture.
void drawEquivalenceMarkers(QImage &picture, const CurveColumns &columns, const QList<EquivalencePoint> &points,
                            SignalUnit unit, const QLocale &locale);
/// The same over a curve that drawCurve drew with this painter into a size x size area.
void drawEquivalenceMarkers(QPainter &painter, const QSize &size, const CurveColumns &columns,
                            const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale);

/// The curve as drawCurve draws it with the painter, and its equivalence points marked over it
/// once it could be drawn: the picture of a record in the report and in the journal.
CurveOutcome drawMarkedCurve(QPainter &painter, const QSize &size, const CurveColumns &columns,
                             const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale,
                             const QFont &legendFont);
