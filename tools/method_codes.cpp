#include "tools/method_codes.h"

#include <algorithm>
#include <vector>

namespace {

// Titration to the first equivalence point in pH, 20 mL buret, result in %.
constexpr std::array<MethodCodes::Group, MethodCodes::groupCount> standardMethod{{
    {0, 0, 1, 1},
    {1, 0, 0, 1},
    {0, 0, 0, 0},
    {1, 0, 2, 0},
    {0, 0, 0, 0},
    {0, 0, 0, 5},
    {0, 2, 3, 3},
    {0, 0, 0, 1},
    {0, 0, 0, 0},
    {0, 0, 0, 0},
    {0, 0, 0, 0},
    {0, 0, 0, 0},
}};

struct Variation
{
    int group;
    MethodCodes::Group digits;
};

// What the instrument's predefined memories 36 to 50 change in the standard method.
const std::array<std::vector<Variation>, 15> predefinedVariations{{
    {},
    {{0, {0, 0, 0, 1}}},
    {{0, {0, 0, 1, 2}}, {3, {0, 0, 1, 0}}},
    {{0, {0, 0, 1, 4}}, {4, {0, 0, 8, 2}}},
    {{0, {0, 0, 1, 6}}, {4, {0, 0, 0, 5}}},
    {{0, {0, 0, 1, 2}}, {1, {3, 1, 0, 1}}},
    {{0, {0, 0, 0, 2}}, {1, {3, 1, 0, 1}}},
    {{1, {2, 1, 1, 2}}},
    {{1, {0, 2, 5, 0}}},
    {{6, {0, 1, 3, 3}}},
    {{6, {0, 4, 3, 3}}},
    {{6, {0, 9, 3, 3}}},
    {{3, {2, 0, 0, 5}}},
    {{0, {0, 1, 1, 3}}, {3, {0, 0, 1, 0}}},
    {{0, {0, 0, 0, 1}}, {1, {2, 2, 0, 1}}},
}};

constexpr std::array<double, 4> buretVolumes{10.0, 20.0, 5.0, 1.0};
constexpr std::array<double, 4> maxIncrementShares{0.05, 0.02, 0.01, 0.005};
constexpr std::array<double, 4> potentialChanges{8.0, 4.0, 16.0, 30.0};

} // namespace

MethodCodes::MethodCodes() : m_groups(standardMethod) {}

MethodCodes MethodCodes::predefined(int slot)
{
    MethodCodes method;
    for (const Variation &variation : predefinedVariations.at(slot - 36))
        method.setGroup(variation.group, variation.digits);
    return method;
}

char MethodCodes::label(int index)
{
    return "123456789ABC"[index];
}

bool MethodCodes::hasPoint(int index)
{
    return index == 2 || index == 4;
}

QByteArray MethodCodes::groupText(int index) const
{
    QByteArray text;
    for (int position = 0; position < 4; ++position) {
        if (position == 3 && hasPoint(index))
            text.append('.');
        text.append(static_cast<char>('0' + digit(index, position)));
    }
    return text;
}

std::optional<MethodCodes::Group> MethodCodes::parseEntry(const QByteArray &entry)
{
    Group digits{0, 0, 0, 0};
    for (char character : entry) {
        if (character == '.')
            continue;
        if (character < '0' || character > '9')
            return std::nullopt;
        std::rotate(digits.begin(), digits.begin() + 1, digits.end());
        digits[3] = character - '0';
    }
    return digits;
}

double MethodCodes::buretVolumeMl() const
{
    return buretVolumes.at(std::clamp(digit(3, 0), 0, 3));
}

double MethodCodes::maxIncrementMl() const
{
    return buretVolumeMl() * maxIncrementShares.at(std::clamp(digit(1, 0), 0, 3));
}

double MethodCodes::minIncrementMl() const
{
    return digit(0, 1) == 1 ? buretVolumeMl() / 1000.0 : maxIncrementMl() / 100.0;
}

double MethodCodes::targetChangeMv() const
{
    return potentialChanges.at(std::clamp(digit(1, 1), 0, 3));
}

double MethodCodes::maxVolumeMl() const
{
    const int volume = digit(3, 1) * 100 + digit(3, 2) * 10 + digit(3, 3);
    return volume > 0 ? volume : buretVolumeMl();
}

int MethodCodes::digit(int group, int position) const
{
    return m_groups.at(group).at(position);
}

int MethodCodes::number(int group) const
{
    const Group &digits = m_groups.at(group);
    return ((digits[0] * 10 + digits[1]) * 10 + digits[2]) * 10 + digits[3];
}
