#include "data/data_block.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase
{
    const char *name;
    const char *data;
    QList<DataRow> rows;
};

class SplitDataBlock : public testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitDataBlock, GivesTheRowsOfTheTable)
{
    const QList<DataRow> rows = splitDataBlock(QString::fromLatin1(GetParam().data));
    ASSERT_EQ(rows.size(), GetParam().rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], GetParam().rows[i]) << "row " << i;
}

const QString b = QStringLiteral(" ");

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitDataBlock,
    testing::Values(SplitCase{"FiveValues",
                              "\r\n     0.000     0.000     3.45     0.00     0.000\r\n",
                              {{"0.000", "0.000", "3.45", "0.00", "0.000"}}},
                    SplitCase{"SeveralLines",
                              "\r\n  1  2  3  4  5\r\n  6  7  8  9  10\r\n\r\n",
                              {{"1", "2", "3", "4", "5"}, {"6", "7", "8", "9", "10"}}},
                    SplitCase{"NoLeadingBlankLosesTheFirstValue", "1  2  3  4  5", {{"2", "3", "4", "5", b}}},
                    SplitCase{"ShortRowIsPaddedWithBlanks", "  1  2  3", {{"1", "2", "3", b, b}}},
                    SplitCase{"SurplusValuesAreDropped", "  1  2  3  4  5  6  7", {{"1", "2", "3", "4", "5"}}},
                    SplitCase{"BlanksAfterTheHeaderFormARow",
                              "   \r\n  1  2  3  4  5",
                              {{"", b, b, b, b}, {"1", "2", "3", "4", "5"}}},
                    SplitCase{"BarsMergeWithBlanks", " |1 ||2| 3", {{"1", "2", "3", b, b}}},
                    SplitCase{"ControlCharactersSplitLines",
                              "  1\t 2\x01 3",
                              {{"1", b, b, b, b}, {"2", b, b, b, b}, {"3", b, b, b, b}}},
                    SplitCase{"TrailingBlanksGiveAnEmptyLastField", "  1  2 ", {{"1", "2", "", b, b}}},
                    SplitCase{"EmptyBlockHasNoRows", "", {}}, SplitCase{"OnlyLineBreaksHaveNoRows", "\r\n\r\n\n", {}}),
    [](const testing::TestParamInfo<SplitCase> &info) { return info.param.name; });

} // namespace
