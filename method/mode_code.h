#pragma once

#include <array>
#include <cstdint>

class MethodSettings;

/// The four digits of one mode group, in the order in which the instrument receives them, each 0
/// to 9.
struct ModeCode
{
    std::array<std::int32_t, 4> digits{};

    /// Recomputes the digits of group 1 to 12 from the settings. An empty or too long numeric
    /// text leaves its digits as they were, except the one-character field of group 9, which
    /// gives 0 when empty. Throws MethodError "'c' is not a valid integer value" at the first
    /// character c of a numeric text that is not a decimal digit, and "no item is chosen" at a
    /// list without a choice (but a balance that the time control switched off), naming the
    /// setting; digits computed before it keep their new values.
    void store(int group, const MethodSettings &settings);
    /// The codes of groups 1 to 12 as an upload of the method sends them; a group that cannot be
    /// encoded (a list without a choice) stays all zero.
    static std::array<ModeCode, 12> allOf(const MethodSettings &settings);

    bool operator==(const ModeCode &) const = default;
};
