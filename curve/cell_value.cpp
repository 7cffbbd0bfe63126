#include "cell_value.h"

#include "analysis/table_number.h"

double cellValue(QStringView cell)
{
    return tableNumber(cell).value_or(0.0);
}
