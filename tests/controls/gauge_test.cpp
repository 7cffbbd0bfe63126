#include "controls/gauge.h"
#include "controls/invalid_operation.h"
#include "tests/support/test_application_environment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWindow>

#include <climits>
#include <gtest/gtest.h>
#include <utility>

namespace {

// The application must end before the program's static objects do, so it lives in the test environment.
class Application : public ::testing::Environment
{
  public:
    void SetUp() override { ensureTestApplication<QApplication>(); }
};

[[maybe_unused]] const auto *const application = ::testing::AddGlobalTestEnvironment(new Application);

// repaint() paints only into an exposed window.
void showExposed(QWidget &widget)
{
    widget.show();
    QElapsedTimer waited;
    waited.start();
    while (!widget.windowHandle()->isExposed() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
}

// Counts the pictures the gauge paints; it must be shown for repaint() to paint at all.
class CountingGauge : public TGauge
{
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TGauge::paintEvent(event);
    }
};

class Gauge : public ::testing::Test
{
  protected:
    static QImage picture(TGauge &gauge) { return gauge.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    static QRgb rgb(Qt::GlobalColor color) { return QColor(color).rgb(); }

    struct Expected
    {
        QPoint at;
        Qt::GlobalColor color;
    };

    static void expectPixels(const QImage &image, std::initializer_list<Expected> expected)
    {
        for (const Expected &pixel : expected)
            EXPECT_EQ(image.pixel(pixel.at), rgb(pixel.color)) << pixel.at.x() << "," << pixel.at.y();
    }

    // A gauge without text whose colours tell the parts apart.
    static void paintPlain(TGauge &gauge, QSize size, TGauge::TGaugeKind kind)
    {
        gauge.resize(size);
        gauge.setKind(kind);
        gauge.setShowText(false);
        gauge.setForeColor(Qt::red);
        gauge.setBackColor(Qt::white);
        gauge.setColor(Qt::blue);
    }
};

TEST_F(Gauge, StartsWithItsDefaults)
{
    TGauge gauge;
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.Kind(), TGauge::gkHorizontalBar);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), TGauge::bsSingle);
    EXPECT_EQ(gauge.ForeColor(), QColor(Qt::black));
    EXPECT_EQ(gauge.BackColor(), QColor(Qt::white));
    EXPECT_EQ(gauge.size(), QSize(100, 100));
    EXPECT_TRUE(gauge.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_FALSE(gauge.testAttribute(Qt::WA_NativeWindow));
    EXPECT_EQ(TGauge::gkText, 0);
    EXPECT_EQ(TGauge::gkNeedle, 4);
}

TEST_F(Gauge, PercentCompleteOfTheUploadGauge)
{
    TGauge gauge;
    gauge.setMaxValue(13);
    for (auto [progress, percent] : {std::pair{1, 7}, {6, 46}, {13, 100}}) {
        gauge.setProgress(progress);
        EXPECT_EQ(gauge.PercentComplete(), percent) << progress;
    }
    EXPECT_EQ(gauge.property("PercentComplete").toInt(), 100);
}

TEST_F(Gauge, EqualBoundsShowZeroPercent)
{
    TGauge equal;
    equal.setMaxValue(5);
    equal.setMinValue(5);
    EXPECT_EQ(equal.Progress(), 5);
    EXPECT_EQ(equal.PercentComplete(), 0);
    TGauge empty;
    EXPECT_EQ(picture(equal), picture(empty));
}

TEST_F(Gauge, RefusesABoundBeyondTheOtherAndChangesNothing)
{
    TGauge gauge;
    gauge.setProgress(40);
    try {
        gauge.setMinValue(101);
        FAIL() << "accepted";
    } catch (const EInvalidOperation &error) {
        EXPECT_STREQ(error.what(), "Value must be between -2147483647 and 99");
    }
    gauge.setMinValue(30);
    try {
        gauge.setMaxValue(29);
        FAIL() << "accepted";
    } catch (const EInvalidOperation &error) {
        EXPECT_STREQ(error.what(), "Value must be between 31 and 2147483647");
    }
    EXPECT_EQ(gauge.MinValue(), 30);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 40);
    gauge.setMinValue(100);
    EXPECT_EQ(gauge.MinValue(), 100);
}

TEST_F(Gauge, ExtremeBoundsNeitherOverflowNorRefuseWrongly)
{
    TGauge gauge;
    gauge.setMinValue(INT_MIN);
    gauge.setMaxValue(INT_MAX);
    gauge.setProgress(0);
    EXPECT_EQ(gauge.PercentComplete(), 50);
    gauge.setMaxValue(INT_MIN);
    try {
        gauge.setMinValue(0);
        FAIL() << "accepted";
    } catch (const EInvalidOperation &error) {
        EXPECT_STREQ(error.what(), "Value must be between -2147483647 and 2147483647");
    }
}

TEST_F(Gauge, LoadingLetsTheBoundsPassEachOther)
{
    TGauge gauge;
    gauge.setLoading(true);
    gauge.setMinValue(200);
    gauge.setMaxValue(300);
    gauge.setLoading(false);
    EXPECT_EQ(gauge.MinValue(), 200);
    EXPECT_EQ(gauge.MaxValue(), 300);
    EXPECT_EQ(gauge.Progress(), 200);
}

TEST_F(Gauge, ProgressIsClampedAndFollowsTheBounds)
{
    TGauge gauge;
    gauge.setMinValue(10);
    gauge.setMaxValue(20);
    gauge.setProgress(5);
    EXPECT_EQ(gauge.Progress(), 10);
    gauge.setProgress(25);
    EXPECT_EQ(gauge.Progress(), 20);
    gauge.setMaxValue(15);
    EXPECT_EQ(gauge.Progress(), 15);
    gauge.setProgress(11);
    gauge.setMinValue(12);
    EXPECT_EQ(gauge.Progress(), 12);
}

TEST_F(Gauge, RepaintsOnlyForChanges)
{
    CountingGauge gauge;
    showExposed(gauge);
    gauge.paints = 0;
    gauge.setKind(TGauge::gkHorizontalBar);
    gauge.setShowText(true);
    gauge.setForeColor(Qt::black);
    gauge.setBorderStyle(TGauge::bsSingle);
    EXPECT_EQ(gauge.paints, 0);
    gauge.setKind(TGauge::gkPie);
    gauge.setBackColor(Qt::yellow);
    EXPECT_EQ(gauge.paints, 2);

    gauge.paints = 0;
    gauge.setMaxValue(1000);
    gauge.paints = 0;
    for (int progress = 0; progress <= 1000; ++progress)
        gauge.setProgress(progress);
    EXPECT_EQ(gauge.paints, 100);
}

TEST_F(Gauge, HorizontalBarFillsFromNothingToTheRightEdge)
{
    TGauge gauge;
    paintPlain(gauge, QSize(60, 10), TGauge::gkHorizontalBar);
    const QImage empty = picture(gauge);
    for (int x = 1; x < 59; ++x)
        EXPECT_EQ(empty.pixel(x, 5), rgb(Qt::white)) << x;
    gauge.setProgress(100);
    const QImage full = picture(gauge);
    expectPixels(full, {{{1, 1}, Qt::red}, {{58, 8}, Qt::red}, {{59, 5}, Qt::black}, {{30, 0}, Qt::black}});
}

TEST_F(Gauge, VerticalBarAtFullKeepsTheTopRowOnlyWithoutFrame)
{
    TGauge gauge;
    paintPlain(gauge, QSize(10, 40), TGauge::gkVerticalBar);
    gauge.setProgress(100);
    const QImage framed = picture(gauge);
    for (int y = 1; y < 39; ++y)
        EXPECT_EQ(framed.pixel(5, y), rgb(Qt::red)) << y;
    EXPECT_EQ(framed.pixel(5, 0), rgb(Qt::black));
    gauge.setBorderStyle(TGauge::bsNone);
    const QImage bare = picture(gauge);
    expectPixels(bare, {{{5, 0}, Qt::white}, {{5, 1}, Qt::red}, {{0, 39}, Qt::red}});
}

TEST_F(Gauge, PieFillsClockwiseFromTwelve)
{
    TGauge gauge;
    paintPlain(gauge, QSize(61, 61), TGauge::gkPie);
    gauge.setProgress(25);
    const QImage quarter = picture(gauge);
    expectPixels(quarter, {{{1, 1}, Qt::blue}, {{45, 15}, Qt::red}, {{15, 15}, Qt::white}, {{45, 45}, Qt::white}});
    gauge.setProgress(0);
    EXPECT_EQ(picture(gauge).pixel(45, 15), rgb(Qt::white));
    gauge.setProgress(100);
    const QImage full = picture(gauge);
    for (QPoint inside : {QPoint(15, 15), QPoint(45, 45), QPoint(15, 45), QPoint(30, 30)})
        EXPECT_EQ(full.pixel(inside), rgb(Qt::red)) << inside.x() << "," << inside.y();
}

TEST_F(Gauge, FullPieLeavesNoEmptyPixelOnItsRim)
{
    TGauge gauge;
    paintPlain(gauge, QSize(61, 61), TGauge::gkPie);
    gauge.setProgress(100);
    for (QSize size : {QSize(61, 61), QSize(90, 50), QSize(34, 75)}) {
        for (TGauge::TBorderStyle border : {TGauge::bsSingle, TGauge::bsNone}) {
            gauge.resize(size);
            gauge.setBorderStyle(border);
            const QImage full = picture(gauge);
            int empty = 0;
            for (int y = 0; y < full.height(); ++y)
                for (int x = 0; x < full.width(); ++x)
                    empty += full.pixel(x, y) == rgb(Qt::white);
            EXPECT_EQ(empty, 0) << size.width() << "x" << size.height() << " border " << border;
        }
    }
}

TEST_F(Gauge, NeedleIsAbsentAtZeroAndUprightAtHalf)
{
    TGauge gauge;
    paintPlain(gauge, QSize(60, 32), TGauge::gkNeedle);
    const int pivotY = 30;
    const QImage zero = picture(gauge);
    for (int y = 5; y < pivotY - 1; ++y)
        EXPECT_EQ(zero.pixel(30, y), rgb(Qt::white)) << y;
    EXPECT_EQ(zero.pixel(1, 1), rgb(Qt::blue));
    gauge.setProgress(50);
    const QImage half = picture(gauge);
    for (int y = 1; y <= pivotY; ++y)
        EXPECT_EQ(half.pixel(30, y), rgb(Qt::red)) << y;
    expectPixels(half, {{{30, 0}, Qt::black}, {{20, 10}, Qt::white}});
}

TEST_F(Gauge, TextIsTheComplementOfWhatLiesBeneath)
{
    TGauge gauge;
    gauge.resize(200, 40);
    gauge.setFont(QFont("DejaVu Sans", 16));
    gauge.setProgress(50);
    const QImage text = picture(gauge);
    gauge.setShowText(false);
    const QImage bar = picture(gauge);
    int onBar = 0;
    int onEmpty = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (text.pixel(x, y) == bar.pixel(x, y))
                continue;
            const bool filled = bar.pixel(x, y) == rgb(Qt::black);
            EXPECT_EQ(text.pixel(x, y), rgb(filled ? Qt::white : Qt::black)) << x << "," << y;
            ++(filled ? onBar : onEmpty);
        }
    }
    EXPECT_GT(onBar, 20);
    EXPECT_GT(onEmpty, 20);
}

TEST_F(Gauge, TextStaysInsideTheFrame)
{
    TGauge gauge;
    gauge.resize(12, 8);
    gauge.setFont(QFont("DejaVu Sans", 20));
    gauge.setKind(TGauge::gkText);
    const QImage image = picture(gauge);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(image.pixel(x, 0), rgb(Qt::black)) << x;
        EXPECT_EQ(image.pixel(x, 7), rgb(Qt::black)) << x;
    }
}

TEST_F(Gauge, TinyGaugesOfEveryKindPaint)
{
    TGauge gauge;
    for (int side = 0; side <= 3; ++side) {
        gauge.resize(side, side);
        for (int kind = TGauge::gkText; kind <= TGauge::gkNeedle; ++kind) {
            gauge.setKind(TGauge::TGaugeKind(kind));
            for (int progress : {0, 50, 100}) {
                gauge.setProgress(progress);
                EXPECT_EQ(picture(gauge).size(), QSize(side, side));
            }
        }
    }
}

} // namespace
