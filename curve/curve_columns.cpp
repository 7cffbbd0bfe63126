#include "curve_columns.h"

#include "curve/cell_value.h"

#include <algorithm>

double GetRowMax(const QList<double> &column)
{
    return column.isEmpty() ? 0.0 : *std::max_element(column.begin(), column.end());
}

double GetRowMin(const QList<double> &column)
{
    return column.isEmpty() ? 0.0 : *std::min_element(column.begin(), column.end());
}

CurveColumns readCurveColumns(const QList<QStringList> &cells, int rowCount)
{
    const auto cell = [&cells](int row, int column) { return cellValue(cells.value(row).value(column)); };
    CurveColumns columns;
    columns.rowCount = rowCount;
    for (int row = 1; row <= std::max(rowCount, 1); ++row) {
        columns.volume.append(cell(row, 0));
        columns.signal.append(cell(row, 2));
        columns.derivative.append(cell(row, 4));
    }
    return columns;
}
