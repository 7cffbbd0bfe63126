#pragma once

#include "analysis/result_text.h"
#include "curve/curve_columns.h"
#include "curve/curve_drawing.h"

#include <QFont>
#include <QList>
#include <QLocale>

class QImage;

/// What a curve picture is drawn from: the columns, and the equivalence points when they are
/// marked. Kept with the picture so that the same curve can be drawn again at another size.
struct DrawnCurve
{
    CurveColumns columns;
    QList<EquivalencePoint> points; ///< empty when the points are not marked
    SignalUnit unit = SignalUnit::pH;
    QLocale locale;
    QFont legendFont;

    /// Draws the curve, and the marked points over it, filling the picture.
    CurveOutcome drawInto(QImage &picture) const;
};
