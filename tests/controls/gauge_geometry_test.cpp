#include "controls/gauge_geometry.h"

#include <climits>
#include <gtest/gtest.h>

using namespace gauge_geometry;

TEST(GaugeArithmetic, PercentOfTruncatesTowardZeroWithoutOverflow)
{
    EXPECT_EQ(PercentOf(1, 13), 7);
    EXPECT_EQ(PercentOf(6, 13), 46);
    EXPECT_EQ(PercentOf(13, 13), 100);
    EXPECT_EQ(PercentOf(5, 0), 0);
    EXPECT_EQ(PercentOf(-5, 3), -166);
    // The full 32-bit range: a difference and its times hundred both leave 32 bits.
    EXPECT_EQ(PercentOf(qint64(INT_MAX) - INT_MIN, qint64(INT_MAX) - INT_MIN), 100);
    EXPECT_EQ(PercentOf(50'000'000, 100'000'000), 50);
}

TEST(GaugeArithmetic, ScaleByPercentIsExact)
{
    // 29 * 0.01 * 100 is 28.999... in binary floating point.
    EXPECT_EQ(ScaleByPercent(29, 100), 29);
    EXPECT_EQ(ScaleByPercent(57, 100), 57);
    EXPECT_EQ(ScaleByPercent(50, 99), 49);
    EXPECT_EQ(ScaleByPercent(-50, 99), -49);
    EXPECT_EQ(ScaleByPercent(100, INT_MAX), INT_MAX);
}

TEST(GaugeArithmetic, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(2.6), 3);
}

TEST(GaugeGeometry, PaintRectLeavesRoomForTheFrame)
{
    EXPECT_EQ(paintRect(QSize(273, 16), true), QRect(1, 1, 271, 14));
    EXPECT_EQ(paintRect(QSize(273, 16), false), QRect(0, 0, 273, 16));
}

TEST(GaugeGeometry, HorizontalBarRunsFromNothingToTheRightEdge)
{
    const QRect framed = paintRect(QSize(100, 20), true);
    EXPECT_TRUE(horizontalBar(framed, 0).isEmpty());
    EXPECT_TRUE(horizontalBar(framed, 1).isEmpty());
    EXPECT_EQ(horizontalBar(framed, 100), framed);
    const QRect bare = paintRect(QSize(100, 20), false);
    EXPECT_EQ(horizontalBar(bare, 50), QRect(0, 0, 50, 21));
    EXPECT_TRUE(horizontalBar(bare, 100).contains(bare));
}

TEST(GaugeGeometry, VerticalBarGrowsUpFromTheBottom)
{
    const QRect framed = paintRect(QSize(20, 100), true);
    EXPECT_TRUE(verticalBar(framed, 0).isEmpty());
    EXPECT_EQ(verticalBar(framed, 100), framed);
    const QRect half = verticalBar(framed, 50);
    EXPECT_EQ(half.bottom(), framed.bottom());
    EXPECT_EQ(half.top(), 99 - 49);
    // Without a frame the full bar stops one row short of the top.
    const QRect bare = paintRect(QSize(20, 100), false);
    EXPECT_EQ(verticalBar(bare, 100).top(), 1);
}

TEST(GaugeGeometry, PieSectorStartsAtTwelveAndRunsClockwise)
{
    const QRect square = paintRect(QSize(101, 101), false);
    EXPECT_EQ(pieEllipse(square, false), square);
    const Sector quarter = pieSector(square, false, 25);
    EXPECT_EQ(quarter.box, square);
    // Qt counts counter-clockwise from three o'clock: a quarter clockwise from twelve runs 0°..90°.
    EXPECT_NEAR(quarter.startAngle, 0, 16);
    EXPECT_NEAR(quarter.spanAngle, 90 * 16, 16);
    const Sector half = pieSector(square, false, 50);
    EXPECT_NEAR(half.startAngle, -90 * 16, 16);
    EXPECT_NEAR(half.spanAngle, 180 * 16, 2 * 16);
    EXPECT_EQ(pieSector(square, false, 100).spanAngle, 360 * 16);
}

TEST(GaugeGeometry, NeedleDialIsTheUpperHalfOnTheBottomEdge)
{
    const QRect framed = paintRect(QSize(101, 51), true);
    const Sector dial = needleDial(framed, true);
    EXPECT_EQ(dial.box.topLeft(), framed.topLeft());
    EXPECT_EQ(dial.box.right(), framed.right());
    EXPECT_EQ(dial.box.bottom(), 2 * framed.bottom());
    EXPECT_NEAR(dial.startAngle, 0, 2 * 16);
    EXPECT_NEAR(dial.spanAngle, 180 * 16, 4 * 16);
    EXPECT_EQ(needleBase(framed, true), QLine(1, 50, 101, 50));
}

TEST(GaugeGeometry, NeedleTurnsFromLeftOverTopToRight)
{
    const QRect framed = paintRect(QSize(100, 50), true);
    EXPECT_EQ(needle(100, framed, 0), QLine(50, 48, 0, 48));
    EXPECT_EQ(needle(100, framed, 50), QLine(50, 48, 50, 0));
    EXPECT_EQ(needle(100, framed, 100), QLine(50, 48, 100, 48));
}

TEST(GaugeGeometry, LinesLeaveOutTheirEndPoint)
{
    EXPECT_EQ(linePixels(QLine(5, 3, 5, 0)), QList<QPoint>({{5, 3}, {5, 2}, {5, 1}}));
    EXPECT_EQ(linePixels(QLine(0, 0, 3, 3)), QList<QPoint>({{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(linePixels(QLine(3, 0, 0, 0)), QList<QPoint>({{3, 0}, {2, 0}, {1, 0}}));
    EXPECT_TRUE(linePixels(QLine(2, 2, 2, 2)).isEmpty());
    const QList<QPoint> steep = linePixels(QLine(0, 0, 2, 7));
    EXPECT_EQ(steep.size(), 7);
    EXPECT_EQ(steep.last().y(), 6);
}

TEST(GaugeGeometry, TextIsCentredAndTruncatesTowardZero)
{
    const QRect framed = paintRect(QSize(100, 20), true);
    EXPECT_EQ(textOrigin(framed, QSize(20, 10)), QPoint(39, 4));
    // Wider than the gauge: -9 / 2 gives -4, not -5.
    EXPECT_EQ(textOrigin(paintRect(QSize(10, 20), false), QSize(20, 10)), QPoint(-4, 5));
}
