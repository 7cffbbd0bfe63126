#include "curve/curve_layout.h"
#include "curve/curve_overlay.h"

#include <QImage>
#include <QLocale>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

CurveSeries series(const QString &name, QList<double> volume, QList<double> signal)
{
    const qsizetype rows = volume.size();
    return {name, {std::move(volume), std::move(signal), QList<double>(rows, 1.0), rows}};
}

// Two titrations on common axes: each point lands where the pooled ranges put it, in its colour.
TEST(CurveOverlay, SeriesShareTheAxesAndKeepTheirColours)
{
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QList<CurveSeries> both{series("low", {0, 5, 10}, {2, 3, 4}), series("high", {0, 10, 20}, {6, 7, 8})};
    {
        QPainter painter(&picture);
        drawCurveOverlay(painter, picture.size(), both, SignalUnit::pH, QLocale::c());
    }
    const CurveLayout layout(picture.size());
    // Volume 0 to 20 and signal 2 to 8 over both series.
    const auto colourAt = [&](double volume, double signal) {
        return picture.pixelColor(layout.xOf(volume, 0, 20), layout.yOf(signal, 2, 8));
    };
    EXPECT_EQ(colourAt(5, 3), curveSeriesColour(0));
    EXPECT_EQ(colourAt(10, 7), curveSeriesColour(1));
    EXPECT_NE(curveSeriesColour(0), curveSeriesColour(1));
    // Rising curves leave the bottom right free for the legend; the top right stays empty.
    int legendInk = 0;
    for (int x = layout.axisEndX() - 80; x < layout.axisEndX(); ++x) {
        for (int y = CurveLayout::top; y < CurveLayout::top + 60; ++y) {
            const QColor colour = picture.pixelColor(x, y);
            legendInk += colour != Qt::white && colour != curveSeriesColour(1); // the high curve ends there
        }
    }
    EXPECT_EQ(legendInk, 0);
}

} // namespace
