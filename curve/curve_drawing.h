#pragma once

#include "analysis/signal_unit.h"

#include <QtGlobal>

#include <optional>

class QFont;
class QImage;
class QLocale;
class QPainter;
class QSize;
struct CurveColumns;

enum class CurveOutcome {
    Drawn,
    /// A column's largest value is 0; the picture is left white.
    DivisionByZero
};

/// Fills the picture white and draws the titration curve (solid), its derivative (dotted), the
/// ruled axes with their labels, the captions and the legend. Numbers use the locale's decimal
/// separator; the legend is written in `legendFont` (a fixed-pitch face) at 8 points.
CurveOutcome drawCurve(QImage &picture, const CurveColumns &columns, const QLocale &locale, const QFont &legendFont);

/// The same drawing in a size x size area of logical units from the painter's origin, with text
/// as large as on a 96 dpi picture of that size: a painter scaled onto a printer draws it as
/// vectors. With a unit, the legend names only that signal instead of "pH mV".
CurveOutcome drawCurve(QPainter &painter, const QSize &size, const CurveColumns &columns, const QLocale &locale,
                       const QFont &legendFont, std::optional<SignalUnit> unit = std::nullopt);

/// Point size that is as large on the painter's device as `points` on a 96 dpi picture.
qreal pointsFor(const QPainter &painter, qreal points);
