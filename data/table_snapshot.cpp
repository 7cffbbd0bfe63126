#include "data/table_snapshot.h"

#include <QAbstractItemModel>
#include <QTableView>

#include <algorithm>

namespace {
constexpr int defaultColumnWidth = 85;
}

int TableSnapshot::columnCount() const
{
    qsizetype widest = columnWidths.size();
    for (const QStringList &row : rows)
        widest = std::max(widest, row.size());
    return static_cast<int>(widest);
}

QString TableSnapshot::cell(int row, int column) const
{
    if (row < 0 || row >= rows.size())
        return {};
    return rows[row].value(column);
}

int TableSnapshot::columnWidth(int column) const
{
    return columnWidths.value(column, defaultColumnWidth);
}

TableSnapshot TableSnapshot::fromView(const QTableView &view)
{
    TableSnapshot snapshot;
    const QAbstractItemModel *model = view.model();
    const int rowCount = model ? model->rowCount() : 0;
    const int columnCount = model ? model->columnCount() : 0;
    for (int r = 0; r < rowCount; ++r) {
        QStringList row;
        for (int c = 0; c < columnCount; ++c)
            row.append(model->index(r, c).data().toString());
        snapshot.rows.append(row);
    }
    for (int c = 0; c < columnCount; ++c)
        snapshot.columnWidths.append(view.columnWidth(c));
    snapshot.controlWidth = view.width();
    snapshot.font = view.font();
    return snapshot;
}
