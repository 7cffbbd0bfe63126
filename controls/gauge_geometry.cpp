#include "controls/gauge_geometry.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace gauge_geometry {

namespace {

// Edges of a rectangle as the drawing rules count them: right and bottom lie just outside.
struct Edges
{
    int left;
    int top;
    int right;
    int bottom;
};

Edges edgesOf(const QRect &r)
{
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

QRect covered(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Width and height of the round kinds' ellipse: one more with a frame, so that it reaches its edge.
QSize roundExtent(const QRect &paintRect, bool bordered)
{
    const int extra = bordered ? 1 : 0;
    return {paintRect.width() + extra, paintRect.height() + extra};
}

// Angle of the radial from the box's centre through a point, as the parameter of the ellipse
// (QPainter's arcs run on it), in radians counter-clockwise with y pointing up.
double radialAngle(const Edges &box, QPoint through)
{
    const double a = (box.right - box.left) / 2.0;
    const double b = (box.bottom - box.top) / 2.0;
    const double dx = through.x() - (box.left + box.right) / 2.0;
    const double dy = through.y() - (box.top + box.bottom) / 2.0;
    return std::atan2(-dy / (b > 0 ? b : 1), dx / (a > 0 ? a : 1));
}

int sixteenthsOfDegree(double radians)
{
    return static_cast<int>(std::lround(radians * 180.0 / std::numbers::pi * 16.0));
}

// The sector running counter-clockwise from one radial to the other; equal radials give the whole ellipse.
Sector sectorBetween(const Edges &box, QPoint from, QPoint to)
{
    const double start = radialAngle(box, from);
    double span = std::fmod(radialAngle(box, to) - start, 2 * std::numbers::pi);
    if (span <= 0)
        span += 2 * std::numbers::pi;
    return {covered(box.left, box.top, box.right, box.bottom), sixteenthsOfDegree(start), sixteenthsOfDegree(span)};
}

} // namespace

qint64 PercentOf(qint64 x, qint64 z)
{
    return z == 0 ? 0 : x * 100 / z;
}

qint64 ScaleByPercent(qint64 p, qint64 z)
{
    return p * z / 100;
}

int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

QRect paintRect(QSize control, bool bordered)
{
    const QRect all(QPoint(0, 0), control);
    return bordered ? all.adjusted(1, 1, -1, -1) : all;
}

QRect horizontalBar(const QRect &paintRect, int percent)
{
    const Edges r = edgesOf(paintRect);
    const int w = r.right - r.left + 1;
    const int h = r.bottom - r.top + 1;
    const int x = static_cast<int>(std::min<qint64>(ScaleByPercent(percent, w), w));
    return x >= 1 ? covered(r.left, r.top, x, h) : QRect();
}

QRect verticalBar(const QRect &paintRect, int percent)
{
    const Edges r = edgesOf(paintRect);
    const int w = r.right - r.left + 1;
    const int h = r.bottom - r.top + 1;
    int y = static_cast<int>(ScaleByPercent(percent, h));
    if (y >= h)
        y = h - 1;
    return covered(r.left, h - y, w, h);
}

QRect pieEllipse(const QRect &paintRect, bool bordered)
{
    const QSize extent = roundExtent(paintRect, bordered);
    return covered(paintRect.left(), paintRect.top(), extent.width(), extent.height());
}

Sector pieSector(const QRect &paintRect, bool bordered, int percent)
{
    const QSize extent = roundExtent(paintRect, bordered);
    const Edges box{paintRect.left(), paintRect.top(), extent.width(), extent.height()};
    const int mx = extent.width() / 2;
    const int my = extent.height() / 2;
    const double a = (percent / 50.0 + 0.5) * std::numbers::pi;
    const QPoint from(roundHalfEven(mx * (1 - std::cos(a))), roundHalfEven(my * (1 - std::sin(a))));
    return sectorBetween(box, from, QPoint(mx, 0));
}

Sector needleDial(const QRect &paintRect, bool bordered)
{
    const QSize extent = roundExtent(paintRect, bordered);
    const Edges r = edgesOf(paintRect);
    const Edges box{r.left, r.top, extent.width(), 2 * extent.height() - 1};
    return sectorBetween(box, QPoint(r.left + extent.width(), r.bottom - 1), QPoint(r.left, r.bottom - 1));
}

QLine needleBase(const QRect &paintRect, bool bordered)
{
    const Edges r = edgesOf(paintRect);
    return QLine(r.left, r.bottom, r.left + roundExtent(paintRect, bordered).width(), r.bottom);
}

QLine needle(int controlWidth, const QRect &paintRect, int percent)
{
    const int pivotY = edgesOf(paintRect).bottom - 1;
    const int hx = controlWidth / 2;
    const double a = percent / 100.0 * std::numbers::pi;
    return QLine(hx, pivotY, roundHalfEven(hx * (1 - std::cos(a))), roundHalfEven(pivotY * (1 - std::sin(a))));
}

QList<QPoint> linePixels(const QLine &line)
{
    QList<QPoint> pixels;
    const QPoint end = line.p2();
    QPoint at = line.p1();
    const int dx = std::abs(end.x() - at.x());
    const int dy = -std::abs(end.y() - at.y());
    const int stepX = at.x() < end.x() ? 1 : -1;
    const int stepY = at.y() < end.y() ? 1 : -1;
    int error = dx + dy;
    while (at != end) {
        pixels.append(at);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.rx() += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.ry() += stepY;
        }
    }
    return pixels;
}

QPoint textOrigin(const QRect &paintRect, QSize text)
{
    const Edges r = edgesOf(paintRect);
    return {(r.right - r.left + 1 - text.width()) / 2, (r.bottom - r.top + 1 - text.height()) / 2};
}

} // namespace gauge_geometry
