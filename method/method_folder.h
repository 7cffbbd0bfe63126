#pragma once

#include "method/profile_file.h"

#include <QString>
#include <QStringList>

/// The folder of method files: one file per slot of the instrument's method memory and the file
/// that remembers the slot used last. The program uses "Config" under its working directory.
class MethodFolder
{
  public:
    static constexpr int kSlotCount = 51;

    explicit MethodFolder(const QString &path = QStringLiteral("Config"));

    const QString &path() const { return m_path; }
    ProfileFile slotFile(int slot) const;

    /// Creates the folder with its missing parents and stores slot (-1 for none) as the slot used
    /// last. Throws MethodError when the file cannot be written.
    void rememberSlot(int slot) const;
    /// The slot used last, or -1 when none is remembered or the number is not a slot.
    int rememberedSlot() const;

    /// The method name stored for the slot, or the slot's free name.
    QString slotName(int slot) const;
    QStringList slotNames() const;
    /// "7. Free" for slot 7.
    static QString freeSlotName(int slot);

    /// A warning for the status bar when a file of the folder is too large to be a method file
    /// and was therefore read as missing; empty when there is none. Callers show it after
    /// naming the slots or reading a method.
    QString oversizedWarning() const;

  private:
    ProfileFile lastModifiedFile() const;

    QString m_path;
};
