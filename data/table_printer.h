#pragma once

#include "data/table_print_layout.h"

#include <QFont>
#include <QString>

class QPainter;
class QPrinter;
struct TableSnapshot;

/// Prints the result grid as a ruled table: on every page the heading, the date line and the
/// column titles on a silver band, then as many rows as fit, closed by the column rules.
class TablePrinter
{
  public:
    /// One print job named `title`, the whole grid; false when the printer would not start it.
    static bool PrtGrid(const TableSnapshot &grid, QPrinter &printer, const QString &title, const QString &heading);

  private:
    TablePrinter(const TableSnapshot &grid, QPainter &painter, const QString &heading);

    bool printPages(QPrinter &printer);
    void PrintHeader();
    void PrintRow(int row);
    void PrintColumnLines();
    void drawTextAt(int x, int y, const QString &text);
    void setBold(bool bold);

    const TableSnapshot &m_grid;
    QPainter &m_painter;
    QString m_heading;
    QString m_dateLine;
    QFont m_font;
    TablePrintLayout m_layout;
    int m_y = 0;
};
