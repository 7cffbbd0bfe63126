#include "analysis/result_text.h"

#include <QLocale>

#include <algorithm>

SignalUnit guessSignalUnit(const QList<TitrationSample> &samples)
{
    const bool phRange = std::all_of(samples.begin(), samples.end(),
                                     [](const TitrationSample &sample) { return sample.signal >= -2.0 && sample.signal <= 16.0; });
    return phRange ? SignalUnit::pH : SignalUnit::mV;
}

QString equivalenceLabel(int number, const EquivalencePoint &point, SignalUnit unit, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString volume = plain.toString(point.volume, 'f', 2);
    const QString signal = unit == SignalUnit::pH ? QStringLiteral("pH ") + plain.toString(point.signal, 'f', 2)
                                                  : plain.toString(point.signal, 'f', 1) + QStringLiteral(" mV");
    return QStringLiteral("EQP %1: %2 ml, %3").arg(number).arg(volume, signal);
}

QString resultLine(const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale)
{
    if (points.isEmpty())
        return QStringLiteral("No clear equivalence point");
    QStringList labels;
    for (qsizetype i = 0; i < points.size(); ++i)
        labels.append(equivalenceLabel(int(i) + 1, points[i], unit, locale));
    return labels.join(QStringLiteral("; "));
}
