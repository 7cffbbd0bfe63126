#include "data/table_printer.h"

#include "data/table_snapshot.h"

#include <QCursor>
#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

namespace {

const QColor silver(192, 192, 192);

// The grid's font is given in screen pixels at 96 dpi; the printer takes it at the same point size.
QFont printingFont(QFont font)
{
    if (font.pixelSize() > 0)
        font.setPointSize(qRound(font.pixelSize() * 72.0 / 96.0));
    return font;
}

class WaitCursor
{
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

bool TablePrinter::PrtGrid(const TableSnapshot &grid, QPrinter &printer, const QString &title, const QString &heading)
{
    WaitCursor waitCursor;
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    TablePrinter run(grid, painter, heading);
    const bool printed = run.printPages(printer);
    painter.end();
    return printed;
}

TablePrinter::TablePrinter(const TableSnapshot &grid, QPainter &painter, const QString &heading)
    : m_grid(grid), m_painter(painter), m_heading(heading),
      m_dateLine(QStringLiteral("Printed on ") +
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)),
      m_font(printingFont(grid.font))
{
    m_painter.setFont(m_font);
    QList<int> widths;
    for (int c = 0; c < grid.columnCount(); ++c)
        widths.append(grid.columnWidth(c));
    const QPaintDevice &device = *m_painter.device();
    m_layout = TablePrintLayout::compute(device.width(), device.height(), m_painter.fontMetrics().height(), widths,
                                         grid.controlWidth);
}

bool TablePrinter::printPages(QPrinter &printer)
{
    PrintHeader();
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        PrintRow(r);
        if (m_y >= m_layout.bottomLimit) {
            PrintColumnLines();
            if (!printer.newPage())
                return false;
            PrintHeader();
        }
    }
    PrintColumnLines();
    return true;
}

void TablePrinter::PrintHeader()
{
    setBold(true);
    drawTextAt(m_layout.leftMargin, m_layout.topMargin, m_heading);
    const int dateWidth = m_painter.fontMetrics().horizontalAdvance(m_dateLine);
    drawTextAt(m_layout.rightEdge - dateWidth, m_layout.topMargin, m_dateLine);
    m_y = m_layout.topMargin + m_layout.lineHeight;
    m_painter.fillRect(m_layout.leftMargin, m_y, m_layout.rightEdge - m_layout.leftMargin, m_layout.lineHeight, silver);
    m_painter.drawLine(m_layout.leftMargin, m_y, m_layout.rightEdge, m_y);
    PrintRow(0);
    setBold(false);
}

void TablePrinter::PrintRow(int row)
{
    for (int c = 0; c < m_layout.columnStarts.size(); ++c)
        drawTextAt(m_layout.columnStarts[c] + m_layout.textLeft, m_y + m_layout.textTop, m_grid.cell(row, c));
    m_y += m_layout.lineHeight;
    m_painter.drawLine(m_layout.leftMargin, m_y, m_layout.rightEdge, m_y);
}

void TablePrinter::PrintColumnLines()
{
    const int top = m_layout.topMargin + m_layout.lineHeight;
    for (int x : m_layout.columnStarts)
        m_painter.drawLine(x, top, x, m_y);
    m_painter.drawLine(m_layout.rightEdge, top, m_layout.rightEdge, m_y);
}

// Text is placed by its top left corner, as the layout counts it.
void TablePrinter::drawTextAt(int x, int y, const QString &text)
{
    m_painter.drawText(x, y + m_painter.fontMetrics().ascent(), text);
}

void TablePrinter::setBold(bool bold)
{
    QFont font = m_font;
    font.setBold(bold);
    m_painter.setFont(font);
}
