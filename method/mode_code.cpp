#include "method/mode_code.h"

#include "method/method_error.h"
#include "method/method_settings.h"

#include <QString>

#include <algorithm>

namespace {

std::int32_t digitOf(QChar character)
{
    if (character < QLatin1Char('0') || character > QLatin1Char('9'))
        throw MethodError(QStringLiteral("'%1' is not a valid integer value").arg(character));
    return character.unicode() - '0';
}

/// Right-aligns the text into width digits from first on, each character converted on its own.
void splitDigits(const QString &text, int width, std::int32_t *first)
{
    const qsizetype length = text.size();
    if (length == 0 || length > width)
        return;
    const qsizetype zeros = width - length;
    std::fill(first, first + zeros, 0);
    for (qsizetype i = 0; i < length; ++i)
        first[zeros + i] = digitOf(text[i]);
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
            *next++ = choiceDigit(info.rule, settings.choice(setting));
            continue;
        }
        const QString &text = settings.text(setting);
        // One digit is always due here; an empty field means none, like the field's initial "0".
        if (info.rule == DigitRule::OneDigit && text.isEmpty())
            *next = 0;
        splitDigits(text, info.size, next);
        next += info.size;
    }
}
