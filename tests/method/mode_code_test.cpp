#include "method/method_error.h"
#include "method/method_settings.h"
#include "method/mode_code.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

using Digits = std::array<std::int32_t, 4>;

struct EncodingCase
{
    const char *name;
    int group;
    std::function<void(MethodSettings &)> edit;
    Digits before;
    Digits expected;
};

void PrintTo(const EncodingCase &c, std::ostream *out)
{
    *out << c.name;
}

class ModeCodeEncodingTest : public ::testing::TestWithParam<EncodingCase>
{
};

TEST_P(ModeCodeEncodingTest, GivesTheInstrumentDigits)
{
    MethodSettings settings;
    GetParam().edit(settings);
    ModeCode code{GetParam().before};
    code.store(GetParam().group, settings);
    EXPECT_EQ(code.digits, GetParam().expected);
}

auto text(Setting setting, const char *value)
{
    return [=](MethodSettings &s) { s.setText(setting, QString::fromUtf8(value)); };
}

auto choices(std::vector<std::pair<Setting, int>> values)
{
    return [=](MethodSettings &s) {
        for (const auto &[setting, index] : values)
            s.setChoice(setting, index);
    };
}

constexpr Digits kZero{0, 0, 0, 0};
constexpr Digits kNines{9, 9, 9, 9};

const EncodingCase kEncodingCases[] = {
    {"StartValuesCountTitrationNatureFromOne", 1, choices({}), kNines, {0, 0, 0, 1}},
    {"Group1CopiesIndexes",
     1,
     choices({{Setting::SpecialModes, 9}, {Setting::MinimalIncrement, 1}, {Setting::Titrationnature, 5}}),
     kZero,
     {9, 1, 0, 6}},
    {"TimeControl7WithoutBalanceSendsZero",
     2,
     choices({{Setting::TimeControl, 7}, {Setting::Balance, -1}}),
     kNines,
     {0, 0, 7, 0}},
    {"BalanceCountsFromOne",
     2,
     choices({{Setting::MaxIncrement, 3}, {Setting::PotentialChange, 2}, {Setting::Balance, 6}}),
     kZero,
     {3, 2, 0, 7}},
    {"FourDigitsRightAligned", 3, text(Setting::PredosageVolume, "205"), kNines, {0, 2, 0, 5}},
    {"FullWidth", 3, text(Setting::PredosageVolume, "1234"), kZero, {1, 2, 3, 4}},
    {"EmptyTextKeepsTheDigits", 3, text(Setting::PredosageVolume, ""), {1, 2, 3, 4}, {1, 2, 3, 4}},
    {"TooLongTextKeepsTheDigits", 5, text(Setting::EndpointDosageBarrier, "12345"), {1, 2, 3, 4}, {1, 2, 3, 4}},
    {"BueretteThenThreeDigits",
     4,
     [](MethodSettings &s) {
         s.setChoice(Setting::BueretteVolume, 2);
         s.setText(Setting::MaximalVolume, "50");
     },
     kNines,
     {2, 0, 5, 0}},
    {"EmptyMaximalVolumeKeepsOnlyItsDigits", 4, text(Setting::MaximalVolume, ""), kNines, {0, 9, 9, 9}},
    {"AgitationTime", 6, text(Setting::AgitationTime, "7"), kNines, {0, 0, 0, 7}},
    {"Group7CopiesIndexes",
     7,
     choices({{Setting::SpecialCountings, 9},
              {Setting::ResultUnit, 8},
              {Setting::AdditionalData, 3},
              {Setting::CurveDesign, 2}}),
     kZero,
     {9, 8, 3, 2}},
    {"SecondItemsOfGroup8SendTwo",
     8,
     choices({{Setting::ExternDevice, 1}, {Setting::ST20, 1}, {Setting::MasterSlave, 1}, {Setting::PlottingDevice, 5}}),
     kZero,
     {2, 1, 2, 5}},
    {"Group8ZeroStaysZero", 8, choices({{Setting::ST20, 2}}), kNines, {0, 2, 0, 0}},
    {"Group9",
     9,
     [](MethodSettings &s) {
         s.setText(Setting::ConditioningTime, "12");
         s.setText(Setting::ConditioningTimeAfterNSamples, "3");
         s.setChoice(Setting::ConditioningTimeProductionRun, 1);
     },
     kZero,
     {1, 2, 3, 1}},
    {"Group9ShortConditioningTime", 9, text(Setting::ConditioningTime, "5"), kNines, {0, 5, 0, 0}},
    {"EmptyOneCharacterFieldSendsZero", 9, text(Setting::ConditioningTimeAfterNSamples, ""), kNines, {0, 0, 0, 0}},
    {"TooLongOneCharacterFieldKeepsItsDigit",
     9,
     text(Setting::ConditioningTimeAfterNSamples, "12"),
     kNines,
     {0, 0, 9, 0}},
    {"FlushingTime", 10, text(Setting::FlushingTime, "9999"), kZero, {9, 9, 9, 9}},
    {"DosageRinse", 11, text(Setting::DosageRinse, "30"), kNines, {0, 0, 3, 0}},
    {"DosageDose", 12, text(Setting::DosageDose, "405"), kNines, {0, 4, 0, 5}},
};

INSTANTIATE_TEST_SUITE_P(Groups, ModeCodeEncodingTest, ::testing::ValuesIn(kEncodingCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct FailureCase
{
    const char *name;
    int group;
    Setting setting;
    const char *text;
    const char *message;
    Digits expected;
};

void PrintTo(const FailureCase &c, std::ostream *out)
{
    *out << c.name;
}

class ModeCodeFailureTest : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(ModeCodeFailureTest, NamesTheCharacterAndKeepsTheDigitsComputedBefore)
{
    MethodSettings settings;
    settings.setChoice(Setting::BueretteVolume, 3);
    settings.setText(GetParam().setting, QString::fromUtf8(GetParam().text));
    ModeCode code{kNines};
    try {
        code.store(GetParam().group, settings);
        ADD_FAILURE() << "no error";
    } catch (const MethodError &error) {
        EXPECT_EQ(error.message(), QString::fromUtf8(GetParam().message));
        EXPECT_EQ(error.setting(), GetParam().setting);
    }
    EXPECT_EQ(code.digits, GetParam().expected);
}

const FailureCase kFailureCases[] = {
    {"LetterAfterADigit", 3, Setting::PredosageVolume, "2x", "'x' is not a valid integer value", {0, 0, 2, 9}},
    {"DecimalPoint", 5, Setting::EndpointDosageBarrier, "1.5", "'.' is not a valid integer value", {0, 1, 9, 9}},
    {"Blank", 6, Setting::AgitationTime, " 5", "' ' is not a valid integer value", {0, 0, 9, 9}},
    {"Sign", 10, Setting::FlushingTime, "-1", "'-' is not a valid integer value", {0, 0, 9, 9}},
    {"AfterTheBueretteDigit", 4, Setting::MaximalVolume, "a", "'a' is not a valid integer value", {3, 0, 0, 9}},
    {"NonAsciiDigit", 11, Setting::DosageRinse, "١", "'١' is not a valid integer value", {0, 0, 0, 9}},
    {"OneCharacterField",
     9,
     Setting::ConditioningTimeAfterNSamples,
     "ä",
     "'ä' is not a valid integer value",
     {0, 0, 9, 9}},
};

INSTANTIATE_TEST_SUITE_P(Texts, ModeCodeFailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The instrument refuses a group with a digit of -1; only a balance that a fixed-time control
// switched off may go without a choice, and is sent as 0.
TEST(ModeCodeChoiceTest, AListWithoutAChoiceIsRefusedNamingItsSetting)
{
    struct Case
    {
        int group;
        std::pair<Setting, int> timeControl;
        Setting unchosen;
        Digits expected;
    };
    for (const Case &c : {Case{1, {Setting::TimeControl, 0}, Setting::Measurement, {0, 0, 9, 9}},
                          Case{1, {Setting::TimeControl, 0}, Setting::Titrationnature, {0, 0, 0, 9}},
                          Case{2, {Setting::TimeControl, 4}, Setting::Balance, {0, 0, 4, 9}},
                          Case{9, {Setting::TimeControl, 0}, Setting::ConditioningTimeProductionRun, {0, 0, 0, 9}}}) {
        MethodSettings settings;
        settings.setChoice(c.timeControl.first, c.timeControl.second);
        settings.setChoice(c.unchosen, -1);
        ModeCode code{kNines};
        try {
            code.store(c.group, settings);
            ADD_FAILURE() << "sent without a choice: " << SettingInfo::of(c.unchosen).key;
        } catch (const MethodError &error) {
            EXPECT_EQ(error.message(), "no item is chosen");
            EXPECT_EQ(error.setting(), c.unchosen);
        }
        EXPECT_EQ(code.digits, c.expected) << SettingInfo::of(c.unchosen).key;
    }
}

} // namespace
