#pragma once

#include "analysis/signal_unit.h"
#include "curve/curve_layout.h"

#include <QString>

#include <optional>

class QLocale;
class QPainter;

/// The ruled axes of a titration curve with their labels, and text on white boxes: what the single
/// curve and the overlay of several share. Draws with the painter's current pen and font.
class CurveFrame
{
  public:
    CurveFrame(QPainter &painter, const QSize &size, const QLocale &locale);

    const CurveLayout &layout() const { return m_layout; }

    /// Ticks and labels of both axes for these value ranges.
    void drawScales(double volumeMin, double volumeMax, double signalMin, double signalMax);
    void drawAxes();
    /// The signal's name over the vertical axis and "V/ml" beside the horizontal one.
    void drawCaptions(const QString &signal);
    /// Text on its own white box with its top left corner at the given point.
    void drawText(QPoint topLeft, const QString &text);

    /// "pH" or "mV"; "pH mV" when the unit is not known.
    static QString signalName(std::optional<SignalUnit> unit);

  private:
    QPainter &m_painter;
    CurveLayout m_layout;
    const QLocale &m_locale;
};
