#include "method/setting_info.h"

#include <array>

namespace {

constexpr std::array<SettingInfo, SettingInfo::kCount> kSettings = {{
    {"SpecialModes", 1, 10, DigitRule::Index},
    {"MinimalIncrement", 1, 2, DigitRule::Index},
    {"Measurement", 1, 2, DigitRule::Index},
    {"Titrationnature", 1, 6, DigitRule::IndexPlusOne},
    {"MaxIncrement", 2, 4, DigitRule::Index},
    {"PotentialChange", 2, 4, DigitRule::Index},
    {"TimeControl", 2, 10, DigitRule::Index},
    {"Balance", 2, 7, DigitRule::IndexPlusOne},
    {"PredosageVolume", 3, 4, DigitRule::Digits},
    {"BüretteVolume", 4, 4, DigitRule::Index},
    {"MaximalVolume", 4, 3, DigitRule::Digits},
    {"EndpointDosageBarrier", 5, 4, DigitRule::Digits},
    {"AgitationTime", 6, 4, DigitRule::Digits},
    {"SpecialCountings", 7, 10, DigitRule::Index},
    {"ResultUnit", 7, 10, DigitRule::Index},
    {"AdditionalData", 7, 4, DigitRule::Index},
    {"CurveDesign", 7, 4, DigitRule::Index},
    {"ExternDevice", 8, 2, DigitRule::OneSentAsTwo},
    {"ST20", 8, 3, DigitRule::Index},
    {"MasterSlave", 8, 2, DigitRule::OneSentAsTwo},
    {"PlottingDevice", 8, 6, DigitRule::Index},
    {"ConditioningTime", 9, 2, DigitRule::Digits},
    {"ConditioningTimeAfterNSamples", 9, 1, DigitRule::OneDigit},
    {"ConditioningTimeProductionRun", 9, 2, DigitRule::Index},
    {"FlushingTime", 10, 4, DigitRule::Digits},
    {"DosageRinse", 11, 4, DigitRule::Digits},
    {"DosageDose", 12, 4, DigitRule::Digits},
}};

} // namespace

int SettingInfo::maximum() const
{
    int value = 0;
    for (int i = 0; i < size; ++i)
        value = value * 10 + 9;
    return value;
}

const std::array<Setting, SettingInfo::kCount> &SettingInfo::all()
{
    static const std::array<Setting, kCount> settings = [] {
        std::array<Setting, kCount> list{};
        for (int i = 0; i < kCount; ++i)
            list[static_cast<std::size_t>(i)] = static_cast<Setting>(i);
        return list;
    }();
    return settings;
}

const SettingInfo &SettingInfo::of(Setting setting)
{
    return kSettings.at(static_cast<std::size_t>(setting));
}
