#include "method/method_folder.h"

#include "method/method_settings.h"

#include <QDir>
#include <QStringList>

namespace {

const QString kLastModifiedSection = QStringLiteral("Last Modified");
const QString kLastModifiedKey = QStringLiteral("Method");

} // namespace

MethodFolder::MethodFolder(const QString &path) : m_path(path) {}

ProfileFile MethodFolder::slotFile(int slot) const
{
    return ProfileFile(m_path + QLatin1Char('/') + QString::number(slot) + QStringLiteral(".ini"));
}

ProfileFile MethodFolder::lastModifiedFile() const
{
    return ProfileFile(m_path + QStringLiteral("/LastModified.ini"));
}

void MethodFolder::rememberSlot(int slot) const
{
    // A folder that cannot be made shows up as the refused write that follows.
    QDir().mkpath(m_path);
    lastModifiedFile().writeInteger(kLastModifiedSection, kLastModifiedKey, slot);
}

int MethodFolder::rememberedSlot() const
{
    const int slot = lastModifiedFile().readInteger(kLastModifiedSection, kLastModifiedKey, -1);
    return slot >= 0 && slot < kSlotCount ? slot : -1;
}

QString MethodFolder::slotName(int slot) const
{
    return slotFile(slot).readString(MethodSettings::kNameSection, MethodSettings::kNameKey, freeSlotName(slot));
}

QStringList MethodFolder::slotNames() const
{
    QStringList names;
    for (int slot = 0; slot < kSlotCount; ++slot)
        names.append(slotName(slot));
    return names;
}

QString MethodFolder::freeSlotName(int slot)
{
    return QString::number(slot) + QStringLiteral(". Free");
}

QString MethodFolder::oversizedWarning() const
{
    QStringList oversized;
    const auto note = [&oversized](const ProfileFile &file) {
        if (file.isOversized())
            oversized.append(QDir::toNativeSeparators(file.path()));
    };
    for (int slot = 0; slot < kSlotCount; ++slot)
        note(slotFile(slot));
    note(lastModifiedFile());
    if (oversized.isEmpty())
        return {};
    return QStringLiteral("Not read, larger than %1 MiB: %2")
        .arg(ProfileFile::kMaxSize / (1024 * 1024))
        .arg(oversized.join(QStringLiteral(", ")));
}
