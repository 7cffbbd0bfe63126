#pragma once

#include "method/setting_info.h"

#include <QLatin1String>
#include <QString>

#include <array>

class MethodFolder;

/// One method as the user edits it: a method name and the twenty-seven group settings. A choice
/// is the 0-based index of the selected list item, -1 for none; a numeric text is the text of its
/// entry field, unchanged. The method setup dialog maps its controls to and from this value.
class MethodSettings
{
  public:
    static constexpr QLatin1String kNameSection{"0"};
    static constexpr QLatin1String kNameKey{"Method Name"};
    static constexpr QLatin1String kSaveWithoutSlotMessage{
        "INI-File has not been saved, because no Method-Memory has been selected."};
    static constexpr QLatin1String kPreviewWithoutSlotMessage{
        "Method Preview not available. Please select Method from Method-Memory."};

    /// The method of a program without a remembered slot: no name, every choice at its first
    /// item, every numeric text "0".
    MethodSettings();

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    int choice(Setting setting) const;
    /// An index outside the setting's list means no selection (-1).
    void setChoice(Setting setting, int index);
    /// Time controls 5 to 9 wait a fixed time, so a balance has nothing to decide: the editor
    /// leaves it without a choice, which is sent as 0.
    static bool isFixedTimeControl(int timeControl) { return timeControl >= 5; }
    bool balanceIsSwitchedOff() const { return isFixedTimeControl(choice(Setting::TimeControl)); }
    const QString &text(Setting setting) const;
    void setText(Setting setting, const QString &text);

    /// Remembers the slot (-1 for none) and writes the slot's method file: the name, then every
    /// setting in file order. Returns false without touching a method file when no slot is
    /// selected; the caller then shows kSaveWithoutSlotMessage. Throws MethodError on a refused
    /// write, keeping what was written before.
    bool IniFileSave(const MethodFolder &folder, int slot) const;
    /// Reads the slot's method file over every value. Returns false without reading when no slot
    /// is selected; the caller then shows kPreviewWithoutSlotMessage.
    bool IniFileLoadPreview(const MethodFolder &folder, int slot);
    /// Reads the remembered slot's method file and returns that slot; returns -1 and keeps every
    /// value when no slot is remembered.
    int loadAtCreation(const MethodFolder &folder);

    bool operator==(const MethodSettings &) const = default;

  private:
    QString m_name;
    std::array<int, SettingInfo::kCount> m_choices{};
    std::array<QString, SettingInfo::kCount> m_texts;
};
