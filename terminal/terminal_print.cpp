#include "terminal/terminal_print.h"

#include "controls/fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace {

class RowBuilder
{
  public:
    RowBuilder(const QFontMetrics &metrics, QSize page)
        : m_page(page), m_rowHeight(metrics.height() + 2), m_tab(8 * std::max(1, metrics.averageCharWidth()))
    {
    }

    void addLine(const QString &line, const QFontMetrics &metrics)
    {
        startRow();
        for (const QChar c : line) {
            if (c == QLatin1Char('\t')) {
                closePiece();
                m_x = (m_x / m_tab + 1) * m_tab;
                if (m_x >= m_page.width())
                    startRow();
                continue;
            }
            const int advance = metrics.horizontalAdvance(c);
            if (m_x + advance > m_page.width() && m_x > 0)
                startRow();
            if (m_piece.text.isEmpty())
                m_piece.x = m_x;
            m_piece.text.append(c);
            m_x += advance;
        }
        closePiece();
    }

    QList<TerminalPrint::Row> rows() { return std::move(m_rows); }

  private:
    void startRow()
    {
        closePiece();
        TerminalPrint::Row row;
        if (!m_rows.isEmpty()) {
            row.page = m_rows.constLast().page;
            row.y = m_rows.constLast().y + m_rowHeight;
            if (row.y > m_page.height() - 2 * m_rowHeight) {
                ++row.page;
                row.y = 0;
            }
        }
        m_rows.append(row);
        m_x = 0;
    }

    void closePiece()
    {
        if (!m_piece.text.isEmpty())
            m_rows.last().pieces.append(std::exchange(m_piece, {}));
    }

    QSize m_page;
    int m_rowHeight;
    int m_tab;
    int m_x = 0;
    TerminalPrint::Piece m_piece;
    QList<TerminalPrint::Row> m_rows;
};

} // namespace

QList<TerminalPrint::Row> TerminalPrint::layout(const QStringList &lines, const QFontMetrics &metrics, QSize page)
{
    RowBuilder builder(metrics, page);
    for (const QString &line : lines)
        builder.addLine(line, metrics);
    return builder.rows();
}

bool TerminalPrint::print(QPrinter &printer, const QStringList &lines, QString &error)
{
    const QString failed = QStringLiteral("Printing failed: the printer did not take the job.");
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = failed;
        return false;
    }
    QFont font = fonts::lucidaConsole();
    font.setPointSize(8);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    int page = 0;
    for (const Row &row : layout(lines, metrics, QSize(printer.width(), printer.height()))) {
        if (row.page != page && !printer.newPage()) {
            painter.end();
            error = failed;
            return false;
        }
        page = row.page;
        for (const Piece &piece : row.pieces)
            painter.drawText(piece.x, row.y + metrics.ascent(), piece.text);
    }
    if (!painter.end()) {
        error = failed;
        return false;
    }
    return true;
}
