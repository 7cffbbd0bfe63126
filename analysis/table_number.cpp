#include "analysis/table_number.h"

#include <charconv>
#include <cmath>
#include <string>

std::optional<double> tableNumber(QStringView cell)
{
    std::string text = cell.trimmed().toLatin1().toStdString();
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.erase(0, 1);
    }
    // from_chars would also take "inf", "nan" and a second sign.
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}
