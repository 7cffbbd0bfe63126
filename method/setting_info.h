#pragma once

#include <QString>

#include <array>

/// The twenty-seven group settings of a method, in group order, which is also the order of
/// their keys in a method file written for the first time.
enum class Setting {
    SpecialModes,
    MinimalIncrement,
    Measurement,
    Titrationnature,
    MaxIncrement,
    PotentialChange,
    TimeControl,
    Balance,
    PredosageVolume,
    BueretteVolume,
    MaximalVolume,
    EndpointDosageBarrier,
    AgitationTime,
    SpecialCountings,
    ResultUnit,
    AdditionalData,
    CurveDesign,
    ExternDevice,
    ST20,
    MasterSlave,
    PlottingDevice,
    ConditioningTime,
    ConditioningTimeAfterNSamples,
    ConditioningTimeProductionRun,
    FlushingTime,
    DosageRinse,
    DosageDose,
};

/// How a setting turns into instrument digits, and so which kind of value it holds.
enum class DigitRule {
    Index,        ///< choice: its list index, -1 for no selection
    IndexPlusOne, ///< choice: index + 1, so no selection gives 0
    OneSentAsTwo, ///< choice: its index, but the second item is sent as 2
    Digits,       ///< numeric text: right-aligned into `size` digits
    OneDigit,     ///< numeric text of one character
};

/// A setting's key in the method file, its group, and its kind.
struct SettingInfo
{
    static constexpr int kCount = 27;

    const char *key; ///< UTF-8; the method file holds it in Windows-1252
    int group;
    int size; ///< list items of a choice, width of a numeric text
    DigitRule rule;

    bool isChoice() const { return rule != DigitRule::Digits && rule != DigitRule::OneDigit; }
    /// The largest value a numeric text of this width can hold.
    int maximum() const;
    QString keyName() const { return QString::fromUtf8(key); }

    static const SettingInfo &of(Setting setting);
    /// Every setting in file order.
    static const std::array<Setting, kCount> &all();
};
