#include "curve/cell_value.h"
#include "curve/curve_columns.h"
#include "curve/curve_labels.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(CellValue, ReadsDecimalNumbersAndEverythingElseAsZero)
{
    struct Case
    {
        const char *cell;
        double value;
    } const cases[] = {{"3.45", 3.45}, {"  -120.5", -120.5}, {"1.5E-3", 0.0015}, {"2e2", 200},
                       {"+7", 7},      {" 0.25 ", 0.25},     {".5", 0.5},        {"", 0},
                       {" ", 0},       {"abc", 0},           {"1,5", 0},         {"1E", 0},
                       {"--1", 0},     {"+-1", 0},           {"inf", 0},         {"nan", 0},
                       {"1e999", 0},   {"0x10", 0},          {"3.4.5", 0},       {"\xe9", 0}};
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(cellValue(QString::fromLatin1(c.cell)), c.value) << c.cell;
}

TEST(RowExtremes, AreTheLargestAndSmallestCellOfTheColumn)
{
    EXPECT_EQ(GetRowMax({3, -1, 5, 2}), 5);
    EXPECT_EQ(GetRowMin({3, -1, 5, 2}), -1);
    EXPECT_EQ(GetRowMax({-200, -120}), -120);
    EXPECT_EQ(GetRowMax({}), 0);
    EXPECT_EQ(GetRowMin({}), 0);
}

TEST(ReadCurveColumns, ReadsVolumeSignalAndDerivativeFromRowOneOn)
{
    const QList<QStringList> table = {{"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"},
                                      {"1.0", "9", "3.5", "9", "0.1"},
                                      {"2.0", "9", "x", "9", " "},
                                      {"3.0", "9", "4.5", "9", "0.3"}};
    const CurveColumns columns = readCurveColumns(table, 2);
    EXPECT_EQ(columns.rowCount, 2);
    EXPECT_EQ(columns.volume, QList<double>({1.0, 2.0}));
    EXPECT_EQ(columns.signal, QList<double>({3.5, 0.0}));
    EXPECT_EQ(columns.derivative, QList<double>({0.1, 0.0}));
    // Row 1 is read even when no row counts; rows past the grid's end read as 0.
    EXPECT_EQ(readCurveColumns(table, 0).volume, QList<double>({1.0}));
    EXPECT_EQ(readCurveColumns(table, 5).volume, QList<double>({1.0, 2.0, 3.0, 0.0, 0.0}));
}

TEST(CurveLabels, GeneralFormatHasThreeSignificantDigits)
{
    struct Case
    {
        double value;
        const char *label;
    } const cases[] = {{0, "0"},           {3.45, "3.45"},       {12.5, "12.5"},    {100, "100"},
                       {999.4, "999"},     {999.6, "1E3"},       {1234, "1.23E3"},  {0.00005, "5E-5"},
                       {0.0001, "0.0001"}, {0.00123, "0.00123"}, {-7.126, "-7.13"}, {-1234, "-1.23E3"},
                       {1e20, "1E20"},     {2.0, "2"},           {0.1, "0.1"}};
    const QLocale c = QLocale::c();
    for (const Case &item : cases)
        EXPECT_EQ(generalLabel(item.value, c), QString::fromLatin1(item.label)) << item.value;
}

TEST(CurveLabels, FixedFormatHasOneDecimalUntilFiveIntegerDigits)
{
    struct Case
    {
        double value;
        const char *label;
    } const cases[] = {{2, "2.0"},      {12, "12.0"},        {0.26, "0.3"},
                       {-3.26, "-3.3"}, {9999.94, "9999.9"}, {12346, "1.235E4"}};
    const QLocale c = QLocale::c();
    for (const Case &item : cases)
        EXPECT_EQ(fixedLabel(item.value, c), QString::fromLatin1(item.label)) << item.value;
}

TEST(CurveLabels, UseTheLocaleDecimalSeparator)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(generalLabel(3.45, german), QStringLiteral("3,45"));
    EXPECT_EQ(generalLabel(1234, german), QStringLiteral("1,23E3"));
    EXPECT_EQ(fixedLabel(2.5, german), QStringLiteral("2,5"));
}

} // namespace
