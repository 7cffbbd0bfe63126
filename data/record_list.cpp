#include "record_list.h"

#include <QComboBox>
#include <QTableWidget>

void showRecordCount(QComboBox &chooser, int count)
{
    if (chooser.count() == count)
        return;
    chooser.clear();
    if (count == 0) {
        chooser.setEditText(QStringLiteral("no data available"));
        return;
    }
    QStringList items;
    for (int record = 1; record <= count; ++record)
        items.append(QStringLiteral("data record %1").arg(record));
    // Added in one go, which keeps thousands of records quick; the newest is selected.
    chooser.addItems(items);
    chooser.setCurrentIndex(count - 1);
}

void writeDataRows(QTableWidget &table, const QList<DataRow> &rows)
{
    table.setRowCount(static_cast<int>(rows.size()) + 1);
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < static_cast<int>(rows[row].size()); ++column)
            table.setItem(row + 1, column, new QTableWidgetItem(rows[row][column]));
}
