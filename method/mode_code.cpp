#include "method/mode_code.h"

#include "method/method_error.h"
#include "method/method_settings.h"

#include <QString>

#include <algorithm>
#include <optional>

namespace {

/// Right-aligns the text into width digits from first on, each character converted on its own.
/// Returns the first character that is not a decimal digit, with the digits before it written.
std::optional<QChar> splitDigits(const QString &text, int width, std::int32_t *first)
{
    const qsizetype length = text.size();
    if (length == 0 || length > width)
        return std::nullopt;
    const qsizetype zeros = width - length;
    std::fill(first, first + zeros, 0);
    for (qsizetype i = 0; i < length; ++i) {
        const QChar character = text[i];
        if (character < QLatin1Char('0') || character > QLatin1Char('9'))
            return character;
        first[zeros + i] = character.unicode() - '0';
    }
    return std::nullopt;
}

std::int32_t choiceDigit(DigitRule rule, int index)
{
    switch (rule) {
    case DigitRule::IndexPlusOne:
        return index + 1;
    case DigitRule::OneSentAsTwo:
        return index == 1 ? 2 : index;
    default:
        return index;
    }
}

} // namespace

void ModeCode::store(int group, const MethodSettings &settings)
{
    std::int32_t *next = digits.data();
    for (const Setting setting : SettingInfo::all()) {
        const SettingInfo &info = SettingInfo::of(setting);
        if (info.group != group)
            continue;
        if (info.isChoice()) {
            const int index = settings.choice(setting);
            // The instrument refuses a group with a digit of -1, so no choice is never sent;
            // a balance switched off by a fixed-time control is sent as 0 by its rule.
            if (index < 0 && !(setting == Setting::Balance && settings.balanceIsSwitchedOff()))
                throw MethodError(QStringLiteral("no item is chosen"), setting);
            *next++ = choiceDigit(info.rule, index);
            continue;
        }
        const QString &text = settings.text(setting);
        // One digit is always due here; an empty field means none, like the field's initial "0".
        if (info.rule == DigitRule::OneDigit && text.isEmpty())
            *next = 0;
        if (const std::optional<QChar> wrong = splitDigits(text, info.size, next))
            throw MethodError(QStringLiteral("'%1' is not a valid integer value").arg(*wrong), setting);
        next += info.size;
    }
}

std::array<ModeCode, 12> ModeCode::allOf(const MethodSettings &settings)
{
    std::array<ModeCode, 12> codes{};
    for (int group = 1; group <= int(codes.size()); ++group) {
        ModeCode code;
        try {
            code.store(group, settings);
        } catch (const MethodError &) {
            continue;
        }
        codes[std::size_t(group - 1)] = code;
    }
    return codes;
}
