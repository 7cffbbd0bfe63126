#include "tests/support/form_fixture.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

namespace {

const QStringList titles = {"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"};

/// The "Table" page's buttons and the File menu's save entry, as a user reaches them.
class TableOutput : public FormFixture
{
  protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        table = control<QTableView>("Table");
    }

    void fill(const QList<QStringList> &rows)
    {
        cells().setRowCount(static_cast<int>(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                cells().setCell(r + 1, c, rows[r][c]);
    }

    QStringList row(int r) const { return cells().rows().value(r); }

    void click(const char *button) { control<QPushButton>(button)->click(); }

    static QByteArray readAll(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString pdfText(const QString &pdf)
    {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        pdftotext.waitForFinished(60000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    }

    QTemporaryDir dir;
    QTableView *table = nullptr;
};

TEST_F(TableOutput, PrintTablePrintsTheWholeTableOnTheChosenPrinter)
{
    fill({{"0.000", "0.000", "4.12", "", ""}, {"0.100", "0.100", "4.20", "0.08", "0.80"}});
    dialogs.pdfFile = dir.filePath("table.pdf");
    click("BitBtn1");

    const QString text = pdfText(dialogs.pdfFile);
    EXPECT_TRUE(text.startsWith("Titration Printed on ")) << text.toStdString();
    EXPECT_TRUE(text.contains(titles.join(' ') + " 0.000 0.000 4.12 0.100 0.100 4.20 0.08 0.80")) << text.toStdString();
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

/// Rows of a rendered page where a rule runs across the table, and the rows that hold text: dark
/// pixels off the rules and off the columns that the vertical rules take.
struct PageRaster
{
    QList<int> rules;
    QList<bool> text;

    explicit PageRaster(const QImage &rendered)
    {
        const QImage page = rendered.convertToFormat(QImage::Format_Grayscale8);
        const auto dark = [&page](int x, int y) { return page.constScanLine(y)[x] < 128; };
        QList<bool> isRule(page.height());
        for (int y = 0; y < page.height(); ++y) {
            int count = 0;
            for (int x = 0; x < page.width(); ++x)
                count += dark(x, y);
            isRule[y] = count > page.width() * 8 / 10;
            if (isRule[y])
                rules.append(y);
        }
        if (rules.isEmpty())
            return;
        // A vertical rule is dark in nearly every row of the ruled part.
        QList<int> columnDark(page.width());
        for (int y = rules.first(); y <= rules.last(); ++y)
            for (int x = 0; x < page.width(); ++x)
                columnDark[x] += dark(x, y);
        const int ruledHeight = rules.last() - rules.first() + 1;
        text.resize(page.height());
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width() && !isRule[y] && !text[y]; ++x)
                text[y] = dark(x, y) && columnDark[x] < ruledHeight * 9 / 10;
    }
};

TEST_F(TableOutput, NoRuleCrossesTheTextAtAnyPrinterResolution)
{
    fill({{"0.000", "0.000", "4.12", "", ""}, {"0.100", "0.100", "4.20", "0.08", "0.80"}});
    for (const int dpi : {96, 300, 600}) {
        dialogs.pdfFile = dir.filePath(QStringLiteral("table%1.pdf").arg(dpi));
        form->printer().setResolution(dpi);
        click("BitBtn1");
        // The top three inches, one pixel per printer pixel, without smoothing.
        const QString png = dir.filePath(QStringLiteral("table%1").arg(dpi));
        QProcess::execute("pdftoppm", {"-png", "-singlefile", "-aa", "no", "-aaVector", "no", "-r",
                                       QString::number(dpi), "-H", QString::number(3 * dpi), dialogs.pdfFile, png});
        const PageRaster page(QImage(png + ".png"));

        // Title band top, under the titles, under each data row.
        ASSERT_GE(page.rules.size(), 4) << dpi << " dpi";
        for (int y : page.rules)
            EXPECT_FALSE(page.text[y - 1] || page.text[y + 1]) << "rule at y " << y << ", " << dpi << " dpi";
        // Each band between two rules holds its line of text.
        for (int i = 1; i < page.rules.size(); ++i) {
            const bool band = page.rules[i] - page.rules[i - 1] > 1;
            EXPECT_TRUE(!band || page.text.mid(page.rules[i - 1], page.rules[i] - page.rules[i - 1]).contains(true))
                << "band above y " << page.rules[i] << ", " << dpi << " dpi";
        }
    }
}

TEST_F(TableOutput, CancellingThePrintDialogPrintsNothing)
{
    dialogs.printAnswer = false;
    dialogs.pdfFile = dir.filePath("table.pdf");
    click("BitBtn1");
    EXPECT_FALSE(QFile::exists(dialogs.pdfFile));
}

TEST_F(TableOutput, SaveTableAndTheMenuEntryWriteTheWorksheetAndSayTableSaved)
{
    fill({{"7.000", "1.2.3"}});
    const QList<std::function<void()>> ways = {
        [this] { click("SaveTable"); },
        [this] { control<QAction>("SavetoExcel1")->trigger(); },
    };
    for (const auto &save : ways) {
        dialogs.messages.clear();
        dialogs.saveAnswer = dir.filePath(QStringLiteral("table%1.xls").arg(dialogs.saveRequests.size()));
        save();
        ASSERT_FALSE(dialogs.saveRequests.isEmpty());
        EXPECT_EQ(dialogs.saveRequests.last().fileName, "korvanetable");
        EXPECT_EQ(dialogs.saveRequests.last().defaultSuffix, "xls");
        EXPECT_EQ(dialogs.messages, QStringList{"Table saved!"});
        EXPECT_TRUE(readAll(dialogs.saveAnswer).contains("7,000"));
        // The grid keeps its points.
        EXPECT_EQ(row(1).first(), "7.000");
    }
}

TEST_F(TableOutput, OverwritingAsksFirstAndCancelLeavesTheFileUntouched)
{
    dialogs.saveAnswer = dir.filePath("old.xls");
    {
        QFile old(dialogs.saveAnswer);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    answerNextModal("CancelBtn");
    click("SaveTable");
    EXPECT_EQ(readAll(dialogs.saveAnswer), "old content");
    EXPECT_TRUE(dialogs.messages.isEmpty());

    answerNextModal("OKBtn");
    click("SaveTable");
    EXPECT_TRUE(readAll(dialogs.saveAnswer).startsWith(QByteArray::fromHex("0908080000001000")));
    EXPECT_EQ(dialogs.messages, QStringList{"Table saved!"});
}

TEST_F(TableOutput, AFileThatCannotBeCreatedShowsTheErrorInsteadOfTableSaved)
{
    dialogs.saveAnswer = dir.filePath("missing-folder/table.xls");
    click("SaveTable");
    EXPECT_EQ(dialogs.errors, QStringList{"Cannot create file " + dialogs.saveAnswer});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(TableOutput, ClearTableEmptiesTheDataRowsAndKeepsRowsAndTitles)
{
    fill({{"0.000", "0.000", "4.12", "", ""}, {"0.100", "0.100", "4.20", "0.08", "0.80"}});
    click("ClearTable");
    EXPECT_EQ(cells().rowCount(), 3);
    EXPECT_EQ(row(0), titles);
    EXPECT_EQ(row(1), QStringList(5, QString()));
    EXPECT_EQ(row(2), QStringList(5, QString()));

    // Empty rows are still there: saved as empty text cells.
    dialogs.saveAnswer = dir.filePath("cleared.xls");
    click("SaveTable");
    int titleBytes = 0;
    for (const QString &title : titles)
        titleBytes += static_cast<int>(title.size());
    EXPECT_EQ(readAll(dialogs.saveAnswer).size(), 12 + 6 + 15 * 12 + titleBytes + 4);
}

} // namespace

namespace {

TEST_F(TableOutput, TitleRowStaysInPlaceWhileSixteenPixelRowsScroll)
{
    fill(QList<QStringList>(100, QStringList{"0.100", "0.100", "4.20", "0.08", "0.80"}));
    form->show();
    form->selectPage(1);
    table->scrollToBottom();
    QCoreApplication::processEvents();

    EXPECT_EQ(table->rowHeight(1), 16);
    EXPECT_GT(table->rowAt(0), 50);
    // Above the scrolling rows, at the top of the grid, stands the title row.
    auto *titleRow = table->findChild<QTableView *>("TitleRow");
    ASSERT_NE(titleRow, nullptr);
    EXPECT_TRUE(titleRow->isVisible());
    EXPECT_EQ(titleRow->geometry().top(), table->frameWidth());
    EXPECT_EQ(titleRow->geometry().bottom() + 1, table->viewport()->geometry().top());
    const QModelIndex shown = titleRow->indexAt(QPoint(20, 8));
    EXPECT_EQ(shown.row(), 0);
    EXPECT_EQ(shown.data().toString(), "Volume/ml");
    EXPECT_EQ(titleRow->rowHeight(0), 16);
    EXPECT_EQ(row(0), titles);
}

} // namespace
