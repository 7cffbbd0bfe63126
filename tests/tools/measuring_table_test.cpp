#include "tools/measuring_point.h"
#include "tools/measuring_table.h"

#include <QList>

#include <cmath>
#include <gtest/gtest.h>

TEST(MeasuringTable, HeadersAreTheInstrumentsUnitLines)
{
    EXPECT_EQ(MeasuringTable(true).header(), "      mL" + QByteArray(11, ' ') + "mL" + QByteArray(13, ' ') + "pH" +
                                                 QByteArray(11, ' ') + "pH" + QByteArray(7, ' ') + "pH/mL\r\n");
    EXPECT_EQ(MeasuringTable(false).header(), "      mL" + QByteArray(11, ' ') + "mL" + QByteArray(13, ' ') + "mV" +
                                                  QByteArray(11, ' ') + "mV" + QByteArray(9, ' ') + "mV/mL\r\n");
}

TEST(MeasuringTable, NumbersEndUnderTheirUnits)
{
    const MeasuringTable table(true);
    const QByteArray header = table.header();
    const QByteArray line = table.line({12.5, 0.05, 7.891, 0.234, 4.68, 0.0});
    EXPECT_EQ(line, "  12.500        0.050           7.89         0.23       4.680\r\n");
    for (qsizetype column = 0; column + 2 < header.size(); ++column) {
        if (header[column] != ' ' && header[column + 1] == ' ') {
            EXPECT_NE(line[column], ' ') << column;
        }
    }
}

TEST(MeasuringTable, MillivoltsKeepOneDecimalAndNegativeSigns)
{
    EXPECT_EQ(MeasuringTable(false).line({1.0, 0.1, -123.45, -8.04, -80.4, 0.0}),
              "   1.000        0.100         -123.5         -8.0        -80.40\r\n");
}

TEST(MeasuringTable, OversizedOrBrokenNumbersStaySeparatedAndReadable)
{
    const QByteArray line = MeasuringTable(true).line({1234.5, 1e9, std::nan(""), -1e12, 1.0 / 0.0, 0.0});
    EXPECT_EQ(line.simplified().split(' ').size(), 5);
    EXPECT_TRUE(line.startsWith(' '));
    EXPECT_FALSE(line.contains('e'));
    EXPECT_FALSE(line.contains("nan"));
}
