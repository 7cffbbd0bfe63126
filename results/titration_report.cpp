#include "results/titration_report.h"

#include "analysis/result_text.h"
#include "common/file_save.h"
#include "controls/fonts.h"
#include "curve/equivalence_markers.h"
#include "results/result_record.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// The curve is laid out as on screen at this size, then painted as vectors scaled to the text width.
const QSize curvePixels(900, 560);
// Beyond these the first page would overflow; the XLSX results sheet keeps them all.
constexpr qsizetype maxBlockLines = 40;
constexpr qsizetype maxListedEdits = 25;
constexpr std::array<int, 5> columnShares = {93, 95, 96, 85, 96};
const QColor bandColour(0xC0, 0xC0, 0xC0);
const QColor markColour(0xB0, 0x00, 0x00);

QFont reportFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

class ReportPainter
{
  public:
    ReportPainter(QPrinter &printer, QPainter &painter, const ResultRecord &record)
        : m_printer(printer), m_painter(painter), m_record(record), m_width(painter.viewport().width()),
          m_height(painter.viewport().height()), m_mm(printer.resolution() / 25.4)
    {
        m_painter.setFont(reportFont(8));
        m_headerHeight = lineAdvance() + int(2 * m_mm);
        m_painter.setFont(reportFont(10, true));
        m_continuationTop = m_headerHeight + lineAdvance() + int(2 * m_mm);
        m_painter.setFont(reportFont(9));
        m_rowHeight = int(m_painter.fontMetrics().height() * 1.5);
    }

    bool paint()
    {
        int y = firstPage();
        const QList<QStringList> &table = m_record.table;
        const qsizetype rows = table.size();
        qsizetype row = std::min<qsizetype>(1, rows);
        const int pages = pageCount(y);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) {
                if (!m_printer.newPage())
                    return false;
                y = continuationHeader();
            }
            const int top = y;
            y = tableRow(table.value(0), y, true);
            for (; row < rows && y + m_rowHeight <= tableBottom(); ++row)
                y = tableRow(table[row], y, false);
            columnRules(top, y);
            header(page, pages);
            footer();
        }
        return true;
    }

  private:
    int firstPage()
    {
        m_painter.setFont(reportFont(16, true));
        int y = line(QStringLiteral("Titration Report"), m_headerHeight);
        m_painter.setFont(reportFont(9));
        m_painter.drawText(QRect(0, 0, m_width, y), Qt::AlignRight | Qt::AlignBottom,
                           QStringLiteral("Printed ") + QLocale().toString(m_record.made, QLocale::ShortFormat));
        y += int(2 * m_mm);
        m_painter.setFont(reportFont(10));
        y = line(sourceTitle(), y);
        if (const QStringList marks = m_record.marks(); !marks.isEmpty()) {
            m_painter.setFont(reportFont(10, true));
            m_painter.setPen(markColour);
            y = line(marks.join(QStringLiteral(", ")), y);
            m_painter.setPen(Qt::black);
            m_painter.setFont(reportFont(10));
        }
        y = journalLines(y);
        if (const std::optional<RunRecord> &run = m_record.run) {
            // A field the user left empty was not sent, and is not shown.
            QStringList sample;
            if (!run->entry.weight.isEmpty())
                sample.append(QStringLiteral("Sample weight: %1 g").arg(run->entry.weight));
            if (!run->entry.identification.isEmpty())
                sample.append(QStringLiteral("Identification: %1").arg(run->entry.identification));
            sample.append(QStringLiteral("Started: ") + QLocale().toString(run->started, QLocale::ShortFormat));
            y = line(sample.join(QStringLiteral("     ")), y);
        }
        if (!m_record.method.isEmpty())
            y = line(QStringLiteral("Method: ") + m_record.method, y);
        y = curve(y + int(3 * m_mm));
        y = results(y + int(3 * m_mm));
        y = titratorResults(y);
        y = changedCells(y);
        m_painter.setFont(reportFont(12, true));
        y = line(QStringLiteral("Measuring table"), y + int(3 * m_mm));
        m_painter.setFont(reportFont(9));
        return y + int(m_mm);
    }

    QString sourceTitle() const
    {
        if (m_record.journal || m_record.recordNo > 0)
            return capitalised(m_record.sourceName());
        return QStringLiteral("Data selected by hand in the terminal");
    }

    // The notes and signatures written into the journal about the entry, under its marks.
    int journalLines(int y)
    {
        if (!m_record.journal)
            return y;
        for (const QString &note : m_record.journal->notes)
            y = line(QStringLiteral("Note: ") + note, y);
        for (const QString &signature : m_record.journal->signatures)
            y = line(QStringLiteral("Signature: ") + signature, y);
        return y;
    }

    int continuationHeader()
    {
        m_painter.setFont(reportFont(10, true));
        line(QStringLiteral("Titration Report, %1: measuring table (continued)").arg(m_record.sourceName()),
             m_headerHeight);
        m_painter.setFont(reportFont(9));
        return m_continuationTop;
    }

    int curve(int y)
    {
        const int height = m_width * curvePixels.height() / curvePixels.width();
        const QRect target(0, y, m_width, height);
        m_painter.save();
        m_painter.translate(target.topLeft());
        m_painter.scale(qreal(m_width) / curvePixels.width(), qreal(height) / curvePixels.height());
        m_painter.setClipRect(QRect(QPoint(0, 0), curvePixels));
        drawMarkedCurve(m_painter, curvePixels, m_record.curve, m_record.points, m_record.unit, QLocale(),
                        fonts::lucidaConsole());
        m_painter.restore();
        m_painter.setPen(QPen(Qt::black, 0));
        m_painter.drawRect(target);
        return y + height;
    }

    // The instrument's own printout after the table, as it came.
    int titratorResults(int y)
    {
        QStringList lines = m_record.titratorResultLines();
        if (lines.isEmpty())
            return y;
        m_painter.setFont(reportFont(12, true));
        y = line(QStringLiteral("Titrator's results"), y + int(2 * m_mm));
        if (lines.size() > maxBlockLines) {
            const qsizetype more = lines.size() - maxBlockLines;
            lines.resize(maxBlockLines);
            lines.append(QStringLiteral("(%1 more lines on the XLSX results sheet)").arg(more));
        }
        QFont fixed = fonts::lucidaConsole();
        fixed.setPointSizeF(9);
        m_painter.setFont(fixed);
        for (const QString &text : lines)
            y = line(text, y);
        m_painter.setFont(reportFont(9));
        return y;
    }

    // The cells shown with other values than received: received value, shown value.
    int changedCells(int y)
    {
        if (m_record.edits.isEmpty())
            return y;
        m_painter.setFont(reportFont(12, true));
        y = line(QStringLiteral("Changed after reception"), y + int(2 * m_mm));
        m_painter.setFont(reportFont(9));
        for (qsizetype i = 0; i < std::min(m_record.edits.size(), maxListedEdits); ++i) {
            const CellEdit &edit = m_record.edits[i];
            y = line(QStringLiteral("Row %1, %2: received \"%3\", shown \"%4\"")
                         .arg(edit.row)
                         .arg(m_record.table.value(0).value(edit.column), edit.received, edit.shown),
                     y);
        }
        if (m_record.edits.size() > maxListedEdits)
            y = line(QStringLiteral("... and %1 more cells").arg(m_record.edits.size() - maxListedEdits), y);
        return y;
    }

    int results(int y)
    {
        m_painter.setFont(reportFont(12, true));
        y = line(QStringLiteral("Results"), y);
        m_painter.setFont(reportFont(10));
        if (m_record.points.isEmpty())
            return line(resultLine({}, m_record.unit, QLocale()), y);
        for (qsizetype i = 0; i < m_record.points.size(); ++i)
            y = line(equivalenceLabel(int(i) + 1, m_record.points[i], m_record.unit, QLocale()), y);
        return y;
    }

    int lineAdvance() const { return int(m_painter.fontMetrics().height() * 1.25); }

    int line(const QString &text, int y)
    {
        m_painter.drawText(QRect(0, y, m_width, m_painter.fontMetrics().height()), Qt::AlignLeft | Qt::AlignVCenter,
                           text);
        return y + lineAdvance();
    }

    int tableBottom() const { return m_height - int(10 * m_mm); }

    int pageCount(int firstTableTop) const
    {
        // As many rows as paint() puts on each page: the title row, then data rows while they fit.
        const int firstRows = std::max(0, (tableBottom() - firstTableTop) / m_rowHeight - 1);
        const int laterRows = std::max(1, (tableBottom() - m_continuationTop) / m_rowHeight - 1);
        const qsizetype dataRows = std::max<qsizetype>(0, m_record.table.size() - 1);
        if (dataRows <= firstRows)
            return 1;
        return 1 + int((dataRows - firstRows + laterRows - 1) / laterRows);
    }

    int columnLeft(int column) const
    {
        int share = 0;
        for (int c = 0; c < column; ++c)
            share += columnShares[c];
        const int total = std::accumulate(columnShares.begin(), columnShares.end(), 0);
        return m_width * share / total;
    }

    int tableRow(const QStringList &cells, int y, bool titles)
    {
        if (titles) {
            m_painter.fillRect(QRect(0, y, m_width, m_rowHeight), bandColour);
            m_painter.setFont(reportFont(9, true));
        }
        const int inset = int(1.5 * m_mm);
        for (int c = 0; c < int(columnShares.size()); ++c)
            m_painter.drawText(
                QRect(columnLeft(c) + inset, y, columnLeft(c + 1) - columnLeft(c) - 2 * inset, m_rowHeight),
                Qt::AlignVCenter | (titles ? Qt::AlignLeft : Qt::AlignRight), cells.value(c));
        m_painter.setFont(reportFont(9));
        m_painter.setPen(QPen(Qt::black, 0));
        if (titles)
            m_painter.drawLine(0, y, m_width, y);
        m_painter.drawLine(0, y + m_rowHeight, m_width, y + m_rowHeight);
        return y + m_rowHeight;
    }

    void columnRules(int top, int bottom)
    {
        for (int c = 0; c <= int(columnShares.size()); ++c) {
            const int x = std::min(columnLeft(c), m_width - 1);
            m_painter.drawLine(x, top, x, bottom);
        }
    }

    // Every page says whose it is, so that a loose page finds its sample again.
    void header(int page, int pages)
    {
        m_painter.setFont(reportFont(8));
        const QRect band(0, 0, m_width, lineAdvance());
        m_painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, headerText());
        m_painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                           QStringLiteral("Page %1 of %2").arg(page).arg(pages));
        m_painter.setPen(QPen(Qt::black, 0));
        m_painter.drawLine(0, band.bottom() + int(m_mm), m_width, band.bottom() + int(m_mm));
        m_painter.setFont(reportFont(9));
    }

    QString headerText() const
    {
        QStringList parts;
        if (const std::optional<RunRecord> &run = m_record.run) {
            if (!run->entry.identification.isEmpty())
                parts.append(QStringLiteral("Sample %1").arg(run->entry.identification));
            if (!run->entry.weight.isEmpty())
                parts.append(QStringLiteral("%1 g").arg(run->entry.weight));
        }
        parts.append(capitalised(m_record.sourceName()));
        parts.append(QLocale().toString(titrationDate(), QLocale::ShortFormat));
        return parts.join(QStringLiteral("  |  "));
    }

    QDateTime titrationDate() const
    {
        if (m_record.run)
            return m_record.run->started;
        return m_record.received ? m_record.received->firstByte : m_record.made;
    }

    // The received bytes' SHA-256 ties a paper copy to its data; sha256sum of the bytes gives it.
    void footer()
    {
        m_painter.setFont(reportFont(7));
        const QString text = m_record.received
                                 ? QStringLiteral("SHA-256 of the received record: ") + m_record.received->sha256()
                                 : QStringLiteral("Not received in this session: no received record to verify against");
        m_painter.drawText(QRect(0, m_height - int(6 * m_mm), m_width, int(6 * m_mm)),
                           Qt::AlignCenter | Qt::AlignBottom, text);
        m_painter.setFont(reportFont(9));
    }

    QPrinter &m_printer;
    QPainter &m_painter;
    const ResultRecord &m_record;
    int m_width;
    int m_height;
    double m_mm;
    int m_rowHeight = 0;
    int m_headerHeight = 0;
    int m_continuationTop = 0;
};

} // namespace

bool TitrationReport::print(QPrinter &printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool painted = ReportPainter(printer, painter, m_record).paint();
    return painter.end() && painted;
}

QString TitrationReport::writePdf(const QString &fileName) const
{
    FileSave file(fileName);
    const FileSave::Status status = file.build([this](const QString &scratchFile) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(scratchFile);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(18, 15, 15, 12), QPageLayout::Millimeter);
        printer.setDocName(QStringLiteral("Titration Report"));
        printer.setCreator(QStringLiteral("Korvane"));
        return print(printer) ? QString() : QStringLiteral("The PDF printer could not start.");
    });
    return status == FileSave::Status::Saved ? QString() : file.failureMessage();
}
