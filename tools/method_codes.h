#pragma once

#include <QByteArray>

#include <array>
#include <optional>

/// The twelve four-digit mode groups of one titration method, and what the simulated
/// instrument reads out of them.
class MethodCodes
{
  public:
    static constexpr int groupCount = 12;
    using Group = std::array<int, 4>;

    MethodCodes();
    static MethodCodes predefined(int slot);

    const Group &group(int index) const { return m_groups.at(index); }
    void setGroup(int index, const Group &digits) { m_groups.at(index) = digits; }

    /// Group label as the instrument shows it: 1 to 9, then A, B, C.
    static char label(int index);
    /// Groups 3 and 5 carry a decimal point before their last digit.
    static bool hasPoint(int index);
    /// Digits as the instrument prints them, "0010" or "000.5".
    QByteArray groupText(int index) const;
    /// A keypad entry for one group: digits shift in from the right as on a four-digit
    /// display, a point is only a separator; anything else makes the entry invalid.
    static std::optional<Group> parseEntry(const QByteArray &entry);

    bool measuresPh() const { return digit(0, 2) == 1; }
    int titrationNature() const { return digit(0, 3); }
    double buretVolumeMl() const;
    double maxIncrementMl() const;
    double minIncrementMl() const;
    double targetChangeMv() const;
    int timeControl() const { return digit(1, 2); }
    double predosageMl() const { return tenths(2); }
    double maxVolumeMl() const;
    /// Endpoint, barrier or dose of group 5, in the unit the titration nature gives it.
    double groupFiveValue() const { return tenths(4); }
    int agitationSeconds() const { return number(5); }
    int resultUnit() const { return digit(6, 1); }

  private:
    int digit(int group, int position) const;
    int number(int group) const;
    double tenths(int group) const { return number(group) / 10.0; }

    std::array<Group, groupCount> m_groups;
};
