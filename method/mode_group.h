#pragma once

#include <QString>

/// One of the twelve mode groups of a method. The group number is also the section name of the
/// group in a method file; the instrument labels groups 10 to 12 "A" to "C".
struct ModeGroup
{
    static constexpr int kCount = 12;

    int number;
    char label;
    const char *title; ///< UTF-8, shown in the page header
    const char *section;

    QString titleText() const { return QString::fromUtf8(title); }
    QString sectionName() const { return QString::fromLatin1(section); }

    /// The group numbered 1 to kCount.
    static const ModeGroup &at(int number);
};
