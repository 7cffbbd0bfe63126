#include "curve_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest pixel, halves to the even neighbour (the default rounding mode).
int toPixel(double coordinate)
{
    return static_cast<int>(std::nearbyint(coordinate));
}

} // namespace

CurveLayout::CurveLayout(QSize picture)
    : m_stepX((picture.width() - left - rightReserve) / divisions),
      m_stepY((picture.height() - top - bottomReserve) / divisions)
{
}

QLine CurveLayout::verticalTick(int k) const
{
    const int y = axisY() - k * m_stepY;
    return {left, y, left + tickLength, y};
}

QPoint CurveLayout::verticalLabel(int k) const
{
    return {labelOffset, axisY() - labelLift - k * m_stepY};
}

QLine CurveLayout::horizontalTick(int k) const
{
    const int x = left + k * m_stepX;
    return {x, axisY(), x, axisY() - tickLength};
}

QPoint CurveLayout::horizontalLabel(int k) const
{
    return {left - labelOffset + k * m_stepX, axisY() + labelOffset};
}

QPoint CurveLayout::volumeCaption() const
{
    return {axisEndX() + captionOffset, axisY() + labelOffset};
}

QPoint CurveLayout::legendLine(int line) const
{
    return {axisEndX() - legendInset, legendTop + line * legendLineDistance};
}

int CurveLayout::xOf(double value, double min, double max) const
{
    return toPixel(left + plotWidth() * scaleFraction(value, min, max));
}

int CurveLayout::yOf(double value, double min, double max) const
{
    return toPixel(top + plotHeight() - plotHeight() * scaleFraction(value, min, max));
}

double scaleFraction(double value, double min, double max)
{
    if (max == min)
        return 0.5;
    // The spread of two huge values of opposite sign can overflow; that of their halves cannot.
    const double fraction =
        std::isfinite(max - min) ? (value - min) / (max - min) : (value / 2 - min / 2) / (max / 2 - min / 2);
    return std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.5;
}

double tickValue(double min, double max, int k)
{
    double step = (max - min) / CurveLayout::divisions;
    if (!std::isfinite(step))
        step = max / CurveLayout::divisions - min / CurveLayout::divisions;
    const double value = min + step * k;
    if (std::isfinite(value))
        return value;
    const double share = static_cast<double>(k) / CurveLayout::divisions;
    return min * (1 - share) + max * share;
}
