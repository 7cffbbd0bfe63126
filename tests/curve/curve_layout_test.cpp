#include "curve/curve_layout.h"
#include "curve/curve_print.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(CurveLayout, DividesThePictureLessItsReservesIntoTenSteps)
{
    const CurveLayout layout(QSize(605, 409));
    EXPECT_EQ(layout.stepX(), 48);
    EXPECT_EQ(layout.stepY(), 32);
    EXPECT_EQ(layout.axisY(), 360);
    EXPECT_EQ(layout.axisEndX(), 520);
    EXPECT_EQ(layout.verticalTick(0), QLine(40, 360, 45, 360));
    EXPECT_EQ(layout.verticalTick(10), QLine(40, 40, 45, 40));
    EXPECT_EQ(layout.verticalLabel(0), QPoint(5, 355));
    EXPECT_EQ(layout.verticalLabel(10), QPoint(5, 35));
    EXPECT_EQ(layout.horizontalTick(0), QLine(40, 360, 40, 355));
    EXPECT_EQ(layout.horizontalTick(10), QLine(520, 360, 520, 355));
    EXPECT_EQ(layout.horizontalLabel(1), QPoint(83, 365));
    EXPECT_EQ(layout.volumeCaption(), QPoint(550, 365));
    EXPECT_EQ(layout.legendLine(0), QPoint(440, 5));
    EXPECT_EQ(layout.legendLine(1), QPoint(440, 20));
}

TEST(CurveLayout, MapsTheExtremesToTheAxisEndsAndRoundsHalvesToEven)
{
    const CurveLayout layout(QSize(600, 400));
    EXPECT_EQ(layout.xOf(2.0, 2.0, 12.0), 40);
    EXPECT_EQ(layout.xOf(12.0, 2.0, 12.0), 520);
    EXPECT_EQ(layout.yOf(-200, -200, -120), 360);
    EXPECT_EQ(layout.yOf(-120, -200, -120), 40);
    EXPECT_EQ(layout.xOf(1, 0, 960), 40);  // 40.5
    EXPECT_EQ(layout.xOf(3, 0, 960), 42);  // 41.5
    EXPECT_EQ(layout.yOf(1, 0, 640), 360); // 359.5
}

TEST(CurveLayout, KeepsEveryCoordinateFinite)
{
    constexpr double huge = std::numeric_limits<double>::max();
    const CurveLayout layout(QSize(600, 400));
    EXPECT_EQ(layout.xOf(5, 5, 5), 280);
    EXPECT_EQ(layout.yOf(5, 5, 5), 200);
    EXPECT_EQ(layout.xOf(huge, -huge, huge), 520);
    EXPECT_EQ(layout.xOf(0, -huge, huge), 280);
    EXPECT_EQ(tickValue(2, 12, 3), 5);
    EXPECT_EQ(tickValue(-huge, huge, 10), huge);
    EXPECT_EQ(tickValue(-huge, huge, 5), 0);
}

TEST(CurvePrintRect, ScalesByWholePrinterDotsPerScreenPixel)
{
    EXPECT_EQ(curvePrintRect(QSize(600, 400), QSize(600, 600), QSize(96, 96)), QRect(0, 0, 3600, 2400));
    EXPECT_EQ(curvePrintRect(QSize(600, 400), QSize(300, 600), QSize(96, 96)), QRect(0, 0, 1800, 2400));
    EXPECT_EQ(curvePrintRect(QSize(600, 400), QSize(72, 72), QSize(96, 96)), QRect(0, 0, 600, 400));
}

} // namespace
