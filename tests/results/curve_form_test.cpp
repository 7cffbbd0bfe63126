#include "tests/support/form_fixture.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

class CurveFormTest : public FormFixture
{
  protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->resize(688, 626);
        form->show();
    }
    QLabel *picture() const { return control<QLabel>(QStringLiteral("Titrationskurve")); }
    QImage shown() const { return picture()->pixmap().toImage(); }
    /// Rows of volume, signal and derivative as the record finder would write them.
    void fillTable(const QList<std::array<const char *, 3>> &rows)
    {
        cells().setRowCount(int(rows.size()) + 1);
        for (int row = 0; row < rows.size(); ++row)
            for (int value = 0; value < 3; ++value)
                cells().setCell(row + 1, value * 2, rows[row][value]);
        form->DataRowCount = int(rows.size());
    }
    static bool allWhite(const QImage &image)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return false;
        return true;
    }
    QTemporaryDir dir;
};

TEST_F(CurveFormTest, ShowGraphDrawsThePageSizedPictureAndBringsTheCurveToTheFront)
{
    fillTable({{"2.0", "3.1", "0.1"}, {"7.0", "5.0", "0.9"}, {"12.0", "8.2", "0.2"}});
    form->Graph2Click();
    EXPECT_EQ(control<QTabWidget>("PageControl1")->currentIndex(), 2);
    const QWidget *page = picture()->parentWidget();
    EXPECT_EQ(picture()->geometry(), QRect(5, 5, page->width() - 80, page->height() - 20));
    EXPECT_EQ(shown().size(), picture()->size());
    EXPECT_FALSE(allWhite(shown()));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CurveFormTest, AColumnWithLargestValueZeroGivesOneWarningAndAWhitePicture)
{
    fillTable({{"2.0", "3.1", "0"}, {"7.0", "5.0", "0"}});
    form->Graph2Click();
    EXPECT_EQ(dialogs.messages, QStringList({"Warning: division by zero"}));
    EXPECT_TRUE(allWhite(shown()));

    dialogs.messages.clear();
    fillTable({{"", "", ""}});
    form->Graph2Click();
    EXPECT_EQ(dialogs.messages, QStringList({"Warning: division by zero"}));
}

TEST_F(CurveFormTest, SavesTheBitmapAndAsksBeforeOverwriting)
{
    fillTable({{"2.0", "3.1", "0.1"}, {"12.0", "8.2", "0.2"}});
    form->Graph2Click();
    dialogs.saveAnswer = dir.filePath("Curve.bmp");
    form->SaveClick();
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, "Curve.bmp");
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, "bmp");
    // Saved at one size, whatever the window's size now: the same picture the page shows at that
    // size (which window size gives it depends on the style).
    const QImage saved = QImage(dialogs.saveAnswer, "BMP").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved.size(), TForm1::kSavedCurveSize);
    picture()->setFixedSize(TForm1::kSavedCurveSize);
    form->Graph2Click();
    EXPECT_EQ(saved, shown().convertToFormat(QImage::Format_RGB32));

    QFile::resize(dialogs.saveAnswer, 10);
    answerNextModal("CancelBtn");
    form->SaveClick();
    EXPECT_EQ(QFileInfo(dialogs.saveAnswer).size(), 10);
    answerNextModal("OKBtn");
    form->SaveClick();
    EXPECT_GT(QFileInfo(dialogs.saveAnswer).size(), 10);
}

TEST_F(CurveFormTest, PrintsThePictureOnOnePage)
{
    fillTable({{"2.0", "3.1", "0.1"}, {"12.0", "8.2", "0.2"}});
    form->Graph2Click();
    dialogs.pdfFile = dir.filePath("curve.pdf");
    dialogs.printAnswer = false;
    form->BtPrintCurveClick();
    EXPECT_FALSE(QFileInfo::exists(dialogs.pdfFile));

    dialogs.printAnswer = true;
    form->BtPrintCurveClick();
    QProcess info;
    info.start("pdfinfo", {dialogs.pdfFile});
    info.waitForFinished();
    EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:           1\n"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

} // namespace
