#include "curve_columns.h"

#include <algorithm>

double GetRowMax(const QList<double> &column)
{
    return column.isEmpty() ? 0.0 : *std::max_element(column.begin(), column.end());
}

double GetRowMin(const QList<double> &column)
{
    return column.isEmpty() ? 0.0 : *std::min_element(column.begin(), column.end());
}
