#include "tools/measuring_table.h"

#include "tools/measuring_point.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QByteArray phUnits = "mL           mL             pH           pH       pH/mL";
const QByteArray mvUnits = "mL           mL             mV           mV         mV/mL";
const QByteArray indent(6, ' ');
constexpr double largestPrinted = 99999.0;

std::vector<int> unitEnds(const QByteArray &line)
{
    std::vector<int> ends;
    for (int column = 0; column < line.size(); ++column)
        if (line[column] != ' ' && (column + 1 == line.size() || line[column + 1] == ' '))
            ends.push_back(column + 1);
    return ends;
}

QByteArray number(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    return QByteArray::number(std::clamp(value, -largestPrinted, largestPrinted), 'f', decimals);
}

} // namespace

MeasuringTable::MeasuringTable(bool measuresPh)
    : m_units(measuresPh ? phUnits : mvUnits), m_columnEnds(unitEnds(indent + m_units)),
      m_signalDecimals(measuresPh ? 2 : 1)
{
}

QByteArray MeasuringTable::header() const
{
    return indent + m_units + "\r\n";
}

QByteArray MeasuringTable::line(const MeasuringPoint &point) const
{
    const std::array<QByteArray, 5> fields{
        number(point.volumeMl, 3), number(point.incrementMl, 3), number(point.signal, m_signalDecimals),
        number(point.change, m_signalDecimals), number(point.derivative, m_signalDecimals + 1)};
    QByteArray text;
    for (std::size_t column = 0; column < fields.size(); ++column) {
        // At least one blank before every number, also when one outgrows its column.
        const qsizetype padding = std::max<qsizetype>(1, m_columnEnds[column] - text.size() - fields[column].size());
        text.append(QByteArray(padding, ' ')).append(fields[column]);
    }
    return text + "\r\n";
}
