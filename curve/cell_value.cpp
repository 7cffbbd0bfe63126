#include "cell_value.h"

#include <charconv>
#include <cmath>
#include <string>

double cellValue(QStringView cell)
{
    std::string text = cell.trimmed().toLatin1().toStdString();
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.erase(0, 1);
    }
    // from_chars would also take "inf", "nan" and a second sign.
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
        return 0;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}
