#pragma once

#include <QLine>
#include <QList>
#include <QRect>
#include <QSize>

// Where the gauge draws, as numbers, so the positions can be checked without painting.
// The drawing rules are those of the classic platform: a rectangle (left, top, right, bottom)
// covers its pixels without the right and bottom edges, and a line leaves out its end point.
// A QRect here always names the pixels covered: QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).
namespace gauge_geometry {

/// 0 when z is 0, else x * 100 / z truncated toward zero; exact for any difference of two 32-bit values.
qint64 PercentOf(qint64 x, qint64 z);

/// p per cent of z truncated toward zero, computed exactly in integers for 32-bit p and z.
qint64 ScaleByPercent(qint64 p, qint64 z);

/// Nearest integer, halves to the even neighbour.
int roundHalfEven(double value);

/// The control's area less a one-pixel frame when bordered.
QRect paintRect(QSize control, bool bordered);

/// The filled part of a horizontal bar; empty below 1 %.
QRect horizontalBar(const QRect &paintRect, int percent);

/// The filled part of a vertical bar, growing up from the bottom.
QRect verticalBar(const QRect &paintRect, int percent);

/// An elliptic sector in QPainter::drawPie terms: the pixels of the whole ellipse and the angles
/// in 1/16 degree, counter-clockwise from three o'clock, measured on the ellipse's own parameter.
struct Sector
{
    QRect box;
    int startAngle = 0;
    int spanAngle = 0;
};

/// The filled sector of the pie kind: from twelve o'clock clockwise over `percent` of the circle.
Sector pieSector(const QRect &paintRect, bool bordered, int percent);

/// The ellipse of the pie kind, also the box of its sector.
QRect pieEllipse(const QRect &paintRect, bool bordered);

/// The half-disc dial of the needle kind, standing on the bottom of the paint rectangle.
Sector needleDial(const QRect &paintRect, bool bordered);

/// The dial's base line; its end point is not drawn.
QLine needleBase(const QRect &paintRect, bool bordered);

/// The needle from the dial's centre, left at 0 %, up at 50 %, right at 100 %; its end point is not drawn.
QLine needle(int controlWidth, const QRect &paintRect, int percent);

/// The pixels of a line from its first point towards its second, without the second.
QList<QPoint> linePixels(const QLine &line);

/// Top left corner of the percentage text, from the image origin.
QPoint textOrigin(const QRect &paintRect, QSize text);

} // namespace gauge_geometry
