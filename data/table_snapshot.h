#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QTableView;

/// The result grid as the printer and the worksheet writer see it: its cells, read once, and
/// its on-screen geometry, so that neither of them touches the widget.
struct TableSnapshot
{
    QList<QStringList> rows; ///< rows[r][c], the title row first
    QList<int> columnWidths; ///< pixels on screen, one per column
    int controlWidth = 505;  ///< width of the whole grid control on screen
    QFont font;

    int rowCount() const { return static_cast<int>(rows.size()); }
    int columnCount() const;
    /// Empty for a cell that a short row does not have.
    QString cell(int row, int column) const;
    /// The grid's default column width for a column without a width of its own.
    int columnWidth(int column) const;

    static TableSnapshot fromView(const QTableView &view);
};
