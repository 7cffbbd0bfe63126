#pragma once

#include <QStringView>

/// A result table cell as a number: "." as decimal point, blanks around it, a sign and an "E" or
/// "e" exponent allowed. An empty cell, and any text that is not a finite number, reads as 0.
double cellValue(QStringView cell);
