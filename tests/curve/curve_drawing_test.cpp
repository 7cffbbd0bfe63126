#include "curve/curve_columns.h"
#include "curve/curve_drawing.h"
#include "curve/curve_layout.h"
#include "curve/curve_print.h"

#include <QFont>
#include <QImage>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// 600 x 400: steps of 48 and 32, plot area from (40, 40) to (520, 360).
QImage picture()
{
    return QImage(600, 400, QImage::Format_RGB32);
}

CurveColumns columns(QList<double> volume, QList<double> signal, QList<double> derivative)
{
    const qsizetype rows = volume.size();
    return {std::move(volume), std::move(signal), std::move(derivative), rows};
}

QFont legendFont()
{
    return QFont(QStringLiteral("Liberation Mono"));
}

bool isBlack(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

int pixelsIn(const QImage &image, const QRect &area, bool (*counts)(QRgb))
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += counts(image.pixel(x, y)) ? 1 : 0;
    return found;
}

int blackIn(const QImage &image, const QRect &area)
{
    return pixelsIn(image, area, [](QRgb pixel) { return pixel == qRgb(0, 0, 0); });
}

// Text is smoothed, so its strokes are dark rather than black.
int darkIn(const QImage &image, const QRect &area)
{
    return pixelsIn(image, area, [](QRgb pixel) { return qGray(pixel) < 128; });
}

bool blackNear(const QImage &image, int x, int y)
{
    return blackIn(image, QRect(x - 1, y - 1, 3, 3)) > 0;
}

TEST(DrawCurve, StopsWhenTheLargestValueOfAColumnIsZero)
{
    const CurveColumns zeroColumns[] = {
        columns({0, 0}, {3, 4}, {1, 2}),
        columns({-2, 0}, {3, 4}, {1, 2}),
        columns({2, 4}, {0, -4}, {1, 2}),
        columns({2, 4}, {3, 4}, {0, 0}),
        columns({}, {}, {}),
    };
    for (const CurveColumns &data : zeroColumns) {
        QImage image = picture();
        image.fill(Qt::black);
        EXPECT_EQ(drawCurve(image, data, QLocale::c(), legendFont()), CurveOutcome::DivisionByZero);
        EXPECT_EQ(blackIn(image, image.rect()), 0);
    }
}

TEST(DrawCurve, PutsTheExtremesOnTheAxisEnds)
{
    QImage image = picture();
    ASSERT_EQ(drawCurve(image, columns({2, 4, 6, 8, 10, 12}, {3, 4, 5, 6, 7, 8}, {5, 1, 1, 1, 1, 1}), QLocale::c(),
                        legendFont()),
              CurveOutcome::Drawn);
    for (int y = 40; y <= 360; ++y)
        ASSERT_TRUE(isBlack(image, 40, y)) << y;
    for (int x = 40; x <= 520; ++x)
        ASSERT_TRUE(isBlack(image, x, 360)) << x;
    EXPECT_TRUE(isBlack(image, 520, 40)); // largest volume and signal
    EXPECT_TRUE(blackNear(image, 280, 200));
    EXPECT_EQ(blackIn(image, QRect(250, 100, 20, 60)), 0);
    EXPECT_TRUE(isBlack(image, 45, 360 - 5 * 32)); // end of a vertical tick
    EXPECT_TRUE(isBlack(image, 40 + 5 * 48, 355)); // end of a horizontal tick
    EXPECT_FALSE(isBlack(image, 46, 360 - 5 * 32));
}

TEST(DrawCurve, WritesLabelsCaptionsAndLegendInTheirPlaces)
{
    QImage image = picture();
    drawCurve(image, columns({2, 12}, {1, 9}, {1, 2}), QLocale::c(), legendFont());
    const CurveLayout layout(image.size());
    const QPoint textPlaces[] = {
        layout.verticalLabel(0), layout.verticalLabel(10), layout.horizontalLabel(0), layout.horizontalLabel(10),
        layout.volumeCaption(),  layout.legendLine(0),     layout.legendLine(1),      QPoint(5, 5)};
    for (const QPoint &place : textPlaces)
        EXPECT_GT(darkIn(image, QRect(place, QSize(20, 11))), 0) << place.x() << "," << place.y();
    // Nothing between the legend and the right edge below it, nor left of the labels.
    EXPECT_EQ(darkIn(image, QRect(530, 40, 70, 300)), 0);
    EXPECT_EQ(darkIn(image, QRect(0, 0, 4, 400)), 0);
}

TEST(DrawCurve, JoinsRowsInTableOrder)
{
    QImage image = picture();
    drawCurve(image, columns({2, 12, 7}, {1, 9, 3}, {1, 1, 2}), QLocale::c(), legendFont());
    EXPECT_TRUE(blackNear(image, 160, 280));  // from the first row straight to the second
    EXPECT_FALSE(blackNear(image, 160, 320)); // not to the row of the next larger volume
}

TEST(DrawCurve, DrawsTheDerivativeDottedAndAConstantColumnInTheMiddle)
{
    QImage image = picture();
    drawCurve(image, columns({2, 12}, {1, 9}, {4, 4}), QLocale::c(), legendFont());
    const int dots = blackIn(image, QRect(50, 200, 210, 1));
    EXPECT_GT(dots, 210 / 5);
    EXPECT_LT(dots, 210 * 3 / 5);
    EXPECT_EQ(blackIn(image, QRect(50, 199, 210, 1)), 0);

    drawCurve(image, columns({5, 5}, {3, 7}, {1, 2}), QLocale::c(), legendFont());
    EXPECT_EQ(blackIn(image, QRect(280, 41, 1, 300)), 300);
}

TEST(DrawCurve, NegativeSignalsAreDrawn)
{
    QImage image = picture();
    EXPECT_EQ(drawCurve(image, columns({1, 2}, {-200, -120}, {1, 3}), QLocale::c(), legendFont()), CurveOutcome::Drawn);
    EXPECT_TRUE(isBlack(image, 520, 40));
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(PrintCurve, PrintsOnePageWithThePictureScaledByTheResolutions)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("curve.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(300);
    QImage image = picture();
    drawCurve(image, columns({2, 12}, {1, 9}, {1, 2}), QLocale::c(), legendFont());
    ASSERT_TRUE(printCurve(printer, image, QSize(96, 96)));
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    // 600 pixels over three times 600 dots at 300 dpi: 100 pixels per inch.
    const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    EXPECT_TRUE(images.contains(QRegularExpression(QStringLiteral("\\s600\\s+400\\s.*\\s100\\s+100\\s"))))
        << qPrintable(images);
}

TEST(PrintCurve, ReportsAJobThatCannotStart)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/curve.pdf"));
    EXPECT_FALSE(printCurve(printer, picture(), QSize(96, 96)));
}

} // namespace
