#pragma once

#include "data/data_block.h"

class QComboBox;
class QTableWidget;

/// Shows `count` records as "data record 1" … in the chooser. When the count changed the list
/// grows or shrinks to it and the newest record is selected; otherwise it and the user's choice
/// stay.
void showRecordCount(QComboBox &chooser, int count);

/// Writes the rows into the result grid from row 1 on; row 0 keeps the column titles and the grid
/// ends after the last row.
void writeDataRows(QTableWidget &table, const QList<DataRow> &rows);
