#include "method/method_settings.h"

#include "method/method_folder.h"
#include "method/mode_group.h"

#include <algorithm>

namespace {

std::size_t indexOf(Setting setting)
{
    return static_cast<std::size_t>(setting);
}

QString sectionOf(const SettingInfo &info)
{
    return ModeGroup::at(info.group).sectionName();
}

} // namespace

MethodSettings::MethodSettings()
{
    m_texts.fill(QStringLiteral("0"));
}

int MethodSettings::choice(Setting setting) const
{
    Q_ASSERT(SettingInfo::of(setting).isChoice());
    return m_choices[indexOf(setting)];
}

void MethodSettings::setChoice(Setting setting, int index)
{
    const SettingInfo &info = SettingInfo::of(setting);
    Q_ASSERT(info.isChoice());
    m_choices[indexOf(setting)] = index >= 0 && index < info.size ? index : -1;
}

const QString &MethodSettings::text(Setting setting) const
{
    Q_ASSERT(!SettingInfo::of(setting).isChoice());
    return m_texts[indexOf(setting)];
}

void MethodSettings::setText(Setting setting, const QString &text)
{
    Q_ASSERT(!SettingInfo::of(setting).isChoice());
    m_texts[indexOf(setting)] = text;
}

bool MethodSettings::IniFileSave(const MethodFolder &folder, int slot) const
{
    folder.rememberSlot(slot);
    if (slot < 0)
        return false;
    const ProfileFile file = folder.slotFile(slot);
    file.writeString(kNameSection, kNameKey, m_name);
    for (const Setting setting : SettingInfo::all()) {
        const SettingInfo &info = SettingInfo::of(setting);
        if (info.isChoice())
            file.writeInteger(sectionOf(info), info.keyName(), choice(setting));
        else
            file.writeString(sectionOf(info), info.keyName(), text(setting));
    }
    return true;
}

bool MethodSettings::IniFileLoadPreview(const MethodFolder &folder, int slot)
{
    if (slot < 0)
        return false;
    const ProfileFile file = folder.slotFile(slot);
    m_name = file.readString(kNameSection, kNameKey, MethodFolder::freeSlotName(slot));
    for (const Setting setting : SettingInfo::all()) {
        const SettingInfo &info = SettingInfo::of(setting);
        const int value = file.readInteger(sectionOf(info), info.keyName(), 0);
        if (info.isChoice())
            setChoice(setting, value);
        else // a number the field cannot hold comes back at the nearer end of the field's range
            setText(setting, QString::number(std::clamp(value, 0, info.maximum())));
    }
    return true;
}

int MethodSettings::loadAtCreation(const MethodFolder &folder)
{
    const int slot = folder.rememberedSlot();
    IniFileLoadPreview(folder, slot);
    return slot;
}
