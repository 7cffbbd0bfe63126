#include "curve/drawn_curve.h"

#include "curve/equivalence_markers.h"

#include <QImage>

CurveOutcome DrawnCurve::drawInto(QImage &picture) const
{
    const CurveOutcome outcome = drawCurve(picture, columns, locale, legendFont);
    if (outcome == CurveOutcome::Drawn && !points.isEmpty())
        drawEquivalenceMarkers(picture, columns, points, unit, locale);
    return outcome;
}
