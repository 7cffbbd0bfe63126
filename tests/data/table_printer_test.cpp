#include "data/table_print_layout.h"
#include "data/table_printer.h"
#include "data/table_snapshot.h"
#include "tests/data/table_output_support.h"

#include <QDate>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace table_output_test;

TEST(TablePrintLayout, ScalesTheScreenColumnsToThePage)
{
    struct Case
    {
        int pageWidth, pageHeight, textHeight, controlWidth;
        QList<int> widths;
        int scale, left, top, right, bottom, line;
        QList<int> starts;
    };
    const QList<Case> cases = {
        {9917, 14033, 100, 505, {93, 95, 96, 85, 96}, 19, 396, 561, 9521, 13472, 150, {396, 2163, 3968, 5792, 7407}},
        // A column widened on screen is wider on paper; the right edge stays at the margin.
        {9917, 14033, 101, 505, {193, 95, 96, 85, 96}, 19, 396, 561, 9521, 13472, 151, {396, 4063, 5868, 7692, 9307}},
        {794, 1123, 15, 505, {93, 95}, 1, 31, 44, 763, 1079, 22, {31, 124}},
        // A grid that was never shown has no width; the scale must still be a number.
        {794, 1123, 15, 0, {93}, 794, 31, 44, 763, 1079, 22, {31}},
    };
    for (const Case &c : cases) {
        const TablePrintLayout layout =
            TablePrintLayout::compute(c.pageWidth, c.pageHeight, c.textHeight, c.widths, c.controlWidth);
        EXPECT_EQ(layout.scale, c.scale);
        EXPECT_EQ(layout.leftMargin, c.left);
        EXPECT_EQ(layout.topMargin, c.top);
        EXPECT_EQ(layout.rightEdge, c.right);
        EXPECT_EQ(layout.bottomLimit, c.bottom);
        EXPECT_EQ(layout.lineHeight, c.line);
        EXPECT_EQ(layout.columnStarts, c.starts);
    }
}

namespace {

const QStringList titles = {"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"};

TableSnapshot resultGrid(int dataRows)
{
    TableSnapshot grid;
    grid.rows.append(titles);
    for (int r = 1; r <= dataRows; ++r)
        grid.rows.append({QStringLiteral("R%1").arg(r), "0.100", "4.25", "0.05", "0.50"});
    grid.columnWidths = {93, 95, 96, 85, 96};
    grid.font = QFont("Lucida Console");
    grid.font.setPixelSize(11);
    return grid;
}

struct Word
{
    QString text;
    double xMin, yMin, xMax, yMax;
};

class TablePrinterTest : public ::testing::Test
{
  protected:
    void SetUp() override { ensureApplication(); }

    QString print(const TableSnapshot &grid)
    {
        const QString pdf = m_dir.filePath(QStringLiteral("table%1.pdf").arg(++m_prints));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        // No printer margins, so that the table's own margins can be measured from the page edge.
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        EXPECT_TRUE(TablePrinter::PrtGrid(grid, printer, "Titration Table", "Titration"));
        return pdf;
    }

    static QStringList pagesText(const QString &pdf)
    {
        const ToolResult result = runTool("pdftotext", {"-layout", pdf, "-"});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        QStringList pages = QString::fromUtf8(result.out).split('\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    static QString info(const QString &pdf, const QString &key)
    {
        const QString text = QString::fromUtf8(runTool("pdfinfo", {pdf}).out);
        const QRegularExpression line("^" + key + ":\\s*(.*)$", QRegularExpression::MultilineOption);
        return line.match(text).captured(1).trimmed();
    }

    static QList<Word> words(const QString &pdf)
    {
        const ToolResult result = runTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        QList<Word> found;
        for (const auto &m : word.globalMatch(QString::fromUtf8(result.out)))
            found.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                          m.captured(4).toDouble()});
        return found;
    }

    /// Page 1 rendered at 72 dpi, so that one pixel is one PDF point.
    QImage firstPage(const QString &pdf)
    {
        const QString prefix = m_dir.filePath("page");
        runTool("pdftoppm", {"-png", "-r", "72", "-f", "1", "-l", "1", "-singlefile", pdf, prefix});
        return QImage(prefix + ".png");
    }

    static QList<int> rowNumbers(const QString &page)
    {
        QList<int> numbers;
        static const QRegularExpression row(R"(\bR(\d+)\b)");
        for (const auto &m : row.globalMatch(page))
            numbers.append(m.captured(1).toInt());
        return numbers;
    }

    QTemporaryDir m_dir;
    int m_prints = 0;
};

Word find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return w;
    ADD_FAILURE() << "no word " << text.toStdString();
    return {};
}

} // namespace

TEST_F(TablePrinterTest, TwoRowsMakeOnePageWithHeadingDateTitlesAndRows)
{
    const QString pdf = print(resultGrid(2));
    EXPECT_EQ(info(pdf, "Pages"), "1");
    EXPECT_EQ(info(pdf, "Title"), "Titration Table");

    const QStringList pages = pagesText(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString dateLine = "Printed on " + QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_TRUE(pages[0].simplified().startsWith("Titration " + dateLine)) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].simplified().contains(titles.join(' ')));
    EXPECT_EQ(rowNumbers(pages[0]), QList<int>({1, 2}));
}

TEST_F(TablePrinterTest, PlacesTheHeadingLeftTheDateRightAndTheTitlesOnASilverBand)
{
    const QString pdf = print(resultGrid(2));
    const QList<Word> all = words(pdf);
    const double pageWidth = 595.0;
    EXPECT_NEAR(find(all, "Titration").xMin, pageWidth / 25, 2.0);
    // The date line ends at the right edge of the table.
    double dateEnd = 0;
    for (const Word &w : all)
        if (std::abs(w.yMin - find(all, "Titration").yMin) < 1.0)
            dateEnd = std::max(dateEnd, w.xMax);
    EXPECT_NEAR(dateEnd, pageWidth * 24 / 25, 2.0);

    const QImage page = firstPage(pdf);
    ASSERT_FALSE(page.isNull());
    const Word derivative = find(all, "Derivative");
    const Word rowOne = find(all, "R1");
    const int x = static_cast<int>(derivative.xMax) + 10;
    EXPECT_EQ(page.pixelColor(x, static_cast<int>((derivative.yMin + derivative.yMax) / 2)), QColor(192, 192, 192));
    EXPECT_EQ(page.pixelColor(x, static_cast<int>((rowOne.yMin + rowOne.yMax) / 2)), QColor(Qt::white));
}

TEST_F(TablePrinterTest, EveryPageOfALongTableRepeatsHeadingAndTitleBand)
{
    const int dataRows = 150;
    const QStringList pages = pagesText(print(resultGrid(dataRows)));
    ASSERT_GE(pages.size(), 2);
    const int perPage = static_cast<int>(rowNumbers(pages[0]).size());
    ASSERT_GT(perPage, 0);
    // A page is full when its last row reaches the bottom limit; then a new page begins.
    EXPECT_EQ(pages.size(), dataRows / perPage + 1);

    int next = 1;
    for (const QString &page : pages) {
        EXPECT_TRUE(page.simplified().startsWith("Titration Printed on ")) << page.toStdString();
        EXPECT_TRUE(page.simplified().contains(titles.join(' ')));
        for (int number : rowNumbers(page))
            EXPECT_EQ(number, next++);
    }
    EXPECT_EQ(next, dataRows + 1);
}

TEST_F(TablePrinterTest, ATableThatJustFillsItsPagesEndsWithAPageOfOnlyHeadingAndTitles)
{
    const int perPage = static_cast<int>(rowNumbers(pagesText(print(resultGrid(150)))[0]).size());
    struct Case
    {
        int dataRows, pages;
    };
    for (const Case &c : {Case{perPage - 1, 1}, Case{perPage, 2}, Case{2 * perPage, 3}, Case{0, 1}}) {
        const QStringList pages = pagesText(print(resultGrid(c.dataRows)));
        ASSERT_EQ(pages.size(), c.pages) << c.dataRows << " rows";
        EXPECT_TRUE(rowNumbers(pages.last()).size() == (c.dataRows % perPage)) << c.dataRows << " rows";
        EXPECT_TRUE(pages.last().simplified().contains("Titration Printed on "));
        EXPECT_TRUE(pages.last().simplified().contains(titles.join(' ')));
    }
}

TEST_F(TablePrinterTest, APrinterThatCannotStartReportsItAndRestoresTheCursor)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath("missing-folder/table.pdf"));
    EXPECT_FALSE(TablePrinter::PrtGrid(resultGrid(2), printer, "Titration Table", "Titration"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
