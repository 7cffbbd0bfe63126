#pragma once

#include <QByteArray>

#include <vector>

struct MeasuringPoint;

/// The measuring table as the instrument prints it: a unit line, then one line per point
/// with each number right-aligned under the end of its unit.
class MeasuringTable
{
  public:
    explicit MeasuringTable(bool measuresPh);

    QByteArray header() const;
    QByteArray line(const MeasuringPoint &point) const;

  private:
    QByteArray m_units;
    std::vector<int> m_columnEnds;
    int m_signalDecimals;
};
