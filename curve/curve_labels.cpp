#include "curve_labels.h"

#include <QLocale>

#include <cmath>

namespace {

QString withLocalePoint(QString text, const QLocale &locale)
{
    return text.replace(u'.', locale.decimalPoint());
}

// Shortest form with `precision` significant digits, as a general number format writes it.
QString general(double value, int precision)
{
    if (value == 0)
        return QStringLiteral("0");
    const QString scientific = QString::number(std::abs(value), 'e', precision - 1); // "1.23e+03"
    const qsizetype e = scientific.indexOf(u'e');
    const int exponent = scientific.sliced(e + 1).toInt();
    QString digits = scientific.first(e).remove(u'.');
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    QString text;
    if (exponent < precision && exponent >= -4) {
        if (exponent < 0)
            text = QStringLiteral("0.") + QString(-exponent - 1, u'0') + digits;
        else if (digits.size() <= exponent + 1)
            text = digits + QString(exponent + 1 - digits.size(), u'0');
        else
            text = digits.first(exponent + 1) + u'.' + digits.sliced(exponent + 1);
    } else {
        text = digits.first(1) + (digits.size() > 1 ? u'.' + digits.sliced(1) : QString()) + u'E' +
               QString::number(exponent);
    }
    return value < 0 ? u'-' + text : text;
}

} // namespace

QString generalLabel(double value, const QLocale &locale)
{
    return withLocalePoint(general(value, 3), locale);
}

QString fixedLabel(double value, const QLocale &locale)
{
    const QString fixed = QString::number(value, 'f', 1);
    const qsizetype integerDigits = fixed.indexOf(u'.') - (fixed.startsWith(u'-') ? 1 : 0);
    return withLocalePoint(integerDigits > 4 ? general(value, 4) : fixed, locale);
}
