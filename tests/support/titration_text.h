#pragma once

// A measuring table as the titrator prints it, for the tests of the result exports and the live
// curve: a pH curve with one jump, increments that shrink around it.

#include "data/header_walker.h"

#include <QByteArray>
#include <QList>

#include <cmath>

/// The data lines of a titration to `lines` points, jump at `equivalenceMl`.
inline QList<QByteArray> titrationLines(int lines, double equivalenceMl = 9.77)
{
    QList<QByteArray> text;
    double volume = 0.0;
    double previous = 0.0;
    const auto pH = [=](double v) { return 4.0 + 0.1 * v + 5.0 / (1.0 + std::exp(-(v - equivalenceMl) / 0.08)); };
    for (int i = 0; i < lines; ++i) {
        const double increment = i == 0 ? 0.0 : (std::abs(volume - equivalenceMl) < 0.6 ? 0.05 : 0.4);
        volume += increment;
        const double signal = pH(volume);
        const double change = i == 0 ? 0.0 : signal - previous;
        previous = signal;
        text.append(QByteArray("   ") + QByteArray::number(volume, 'f', 3).rightJustified(9) +
                    QByteArray::number(increment, 'f', 3).rightJustified(11) +
                    QByteArray::number(signal, 'f', 2).rightJustified(13) +
                    QByteArray::number(change, 'f', 2).rightJustified(13) +
                    QByteArray::number(increment > 0 ? change / increment : 0.0, 'f', 3).rightJustified(12) + "\r\n");
    }
    return text;
}

inline QByteArray titrationHeader()
{
    return "TITRATION STARTED\r\n      " + phHeader.toByteArray() + "\r\n";
}

inline QByteArray titrationRecord(int lines)
{
    QByteArray text = titrationHeader();
    for (const QByteArray &line : titrationLines(lines))
        text += line;
    return text + "Results   SAMPLE 1\r\n";
}
