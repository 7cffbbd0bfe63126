#include "commands/instrument_error.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase
{
    const char *name;
    QByteArray text;
    qsizetype from;
    std::optional<QString> error;
};

class InstrumentErrorTest : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(InstrumentErrorTest, FindsTheFirstErrorLineFromTheOffsetOn)
{
    EXPECT_EQ(instrumentError(GetParam().text, GetParam().from), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    InstrumentError, InstrumentErrorTest,
    ::testing::Values(ErrorCase{"FirstOfTwo", "OK\r\nE5 M5 EMPTY\r\nE1 KEY NOT ALLOWED\r\n", 0, "E5 M5 EMPTY"},
                      ErrorCase{"LoneBreaks", "A\rE3 RANGE\nd.At\n", 0, "E3 RANGE"},
                      ErrorCase{"NotYetEnded", "RESET\r\nE4 METH", 0, "E4 METH"},
                      ErrorCase{"BeforeTheOffset", "E5 M5 EMPTY\r\nOK\r\n", 13, std::nullopt},
                      ErrorCase{"LineBegunBeforeTheOffset", "XE5 M5\r\n", 1, std::nullopt},
                      ErrorCase{"OffsetAtALineStart", "X\r\nE5 M5\r\n", 3, "E5 M5"},
                      ErrorCase{"IndentedValueIsNoError", "  E1 =  120.3 mV\r\nEND\r\n", 0, std::nullopt},
                      ErrorCase{"LetterWithoutDigit", "ELECTRODE IN SAMPLE ?\r\n", 0, std::nullopt},
                      ErrorCase{"TextShorterThanTheOffset", "E5", 10, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
