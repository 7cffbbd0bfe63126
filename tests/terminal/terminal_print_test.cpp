#include "terminal/terminal_print.h"
#include "tests/support/form_fixture.h"

#include <QFontMetrics>

class TerminalPrintTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testApplication();
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(10);
        metrics = std::make_unique<QFontMetrics>(font);
        charWidth = metrics->horizontalAdvance(QLatin1Char('x'));
        rowHeight = metrics->height() + 2;
    }

    std::unique_ptr<QFontMetrics> metrics;
    int charWidth = 0;
    int rowHeight = 0;
};

TEST_F(TerminalPrintTest, TabsAdvanceToMultiplesOfEightAverageCharacters)
{
    const int tab = 8 * metrics->averageCharWidth();
    const auto rows = TerminalPrint::layout({"ab\tc\t\td"}, *metrics, QSize(100 * tab, 1000));
    ASSERT_EQ(rows.size(), 1);
    ASSERT_EQ(rows[0].pieces.size(), 3);
    EXPECT_EQ(rows[0].pieces[0].x, 0);
    EXPECT_EQ(rows[0].pieces[1].x, tab);
    EXPECT_EQ(rows[0].pieces[1].text, "c");
    EXPECT_EQ(rows[0].pieces[2].x, 3 * tab);
}

TEST_F(TerminalPrintTest, WideLinesContinueOnTheNextRow)
{
    const auto rows = TerminalPrint::layout({"0123456789", "", "ab"}, *metrics, QSize(4 * charWidth, 1000));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].pieces[0].text, "0123");
    EXPECT_EQ(rows[1].pieces[0].text, "4567");
    EXPECT_EQ(rows[2].pieces[0].text, "89");
    EXPECT_TRUE(rows[3].pieces.isEmpty());
    EXPECT_EQ(rows[4].pieces[0].text, "ab");
    EXPECT_EQ(rows[4].y, 4 * rowHeight);
}

TEST_F(TerminalPrintTest, NewPageWhenARowWouldStartBelowTwoRowsAboveTheBottom)
{
    // Rows at 0, h, ... ; a page of 6 rows' height takes rows starting at up to 4 h.
    const QStringList lines(12, QStringLiteral("x"));
    const auto rows = TerminalPrint::layout(lines, *metrics, QSize(100, 6 * rowHeight));
    QList<int> pages;
    for (const auto &row : rows)
        pages.append(row.page);
    EXPECT_EQ(pages, (QList<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2}));
    EXPECT_EQ(rows[5].y, 0);
    EXPECT_EQ(rows[4].y, 4 * rowHeight);
}
