#pragma once

class QFont;
class QImage;
class QLocale;
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
