#pragma once

#include <QStringView>

#include <optional>

/// A result table cell as a number when it holds one: "." as decimal point, blanks around it, a
/// sign and an "E" or "e" exponent allowed. Empty and blank cells, and any other text, hold none.
std::optional<double> tableNumber(QStringView cell);
