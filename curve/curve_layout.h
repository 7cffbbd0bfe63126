#pragma once

#include <QLine>
#include <QPoint>
#include <QSize>

/// Where the parts of the titration curve go in a picture of a given size. The plot area starts
/// at (left, top) and keeps reserves to its right and below for labels and the legend.
class CurveLayout
{
  public:
    static constexpr int left = 40;
    static constexpr int top = 40;
    static constexpr int rightReserve = 80;
    static constexpr int bottomReserve = 40;
    static constexpr int divisions = 10;
    static constexpr int tickLength = 5;
    static constexpr int labelOffset = 5;
    static constexpr int labelLift = 5;
    static constexpr int captionOffset = 30;
    static constexpr int legendInset = 80;
    static constexpr int legendTop = 5;
    static constexpr int legendLineDistance = 15;

    explicit CurveLayout(QSize picture);

    int stepX() const { return m_stepX; }
    int stepY() const { return m_stepY; }
    int plotWidth() const { return divisions * m_stepX; }
    int plotHeight() const { return divisions * m_stepY; }
    int axisY() const { return top + plotHeight(); }
    int axisEndX() const { return left + plotWidth(); }

    /// k = 0 … divisions, from the horizontal axis upwards.
    QLine verticalTick(int k) const;
    QPoint verticalLabel(int k) const;
    /// k = 0 … divisions, from the vertical axis rightwards.
    QLine horizontalTick(int k) const;
    QPoint horizontalLabel(int k) const;
    QPoint volumeCaption() const;
    /// line 0: the curve's legend, line 1: the derivative's.
    QPoint legendLine(int line) const;

    int xOf(double value, double min, double max) const;
    int yOf(double value, double min, double max) const;

  private:
    int m_stepX;
    int m_stepY;
};

/// Share of the way from min to max, in [0, 1]. A column without spread sits in the middle.
double scaleFraction(double value, double min, double max);

/// Value of tick k of an axis from min to max.
double tickValue(double min, double max, int k);
