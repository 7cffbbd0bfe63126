#pragma once

#include <QString>

class QLocale;

/// Vertical axis label: 3 significant digits, shortest form; fixed notation while the rounded value
/// has at most 3 integer digits and is 0 or at least 0.0001 in magnitude, else "1.23E3", "5E-5".
QString generalLabel(double value, const QLocale &locale);

/// Horizontal axis label: 1 decimal, scientific once the integer part has more than 4 digits.
QString fixedLabel(double value, const QLocale &locale);
