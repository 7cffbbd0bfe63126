#include "data/xlsx_writer.h"

#include "analysis/table_number.h"
#include "common/file_save.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <xlsxwriter.h>

namespace {

// A worksheet cell holds at most this many characters; the library refuses longer text.
constexpr qsizetype maxCellCharacters = 32767;

// The number format that shows a number with the decimals it was printed with: "0.050" keeps
// its three, "1.5E-3" stays in scientific form.
QString numberFormat(const QString &cell)
{
    const QString text = cell.trimmed();
    const qsizetype exponent = text.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive);
    const QString mantissa = exponent < 0 ? text : text.left(exponent);
    const qsizetype point = mantissa.indexOf(QLatin1Char('.'));
    const qsizetype decimals = point < 0 ? 0 : mantissa.size() - point - 1;
    QString format = decimals > 0 ? QStringLiteral("0.") + QString(decimals, QLatin1Char('0')) : QStringLiteral("0");
    return exponent < 0 ? format : format + QStringLiteral("E+00");
}

class Workbook
{
  public:
    explicit Workbook(lxw_workbook *workbook) : m_workbook(workbook)
    {
        m_bold = workbook_add_format(workbook);
        format_set_bold(m_bold);
        m_date = workbook_add_format(workbook);
        format_set_num_format(m_date, "yyyy-mm-dd hh:mm:ss");
    }

    lxw_error writeSheet(const XlsxSheet &sheet)
    {
        lxw_worksheet *worksheet = workbook_add_worksheet(m_workbook, sheet.name.toUtf8().constData());
        if (!worksheet)
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        // Wide enough for the column titles.
        constexpr double columnWidth = 16;
        qsizetype columns = 0;
        for (const QStringList &row : sheet.rows)
            columns = std::max(columns, row.size());
        if (columns > 0)
            worksheet_set_column(worksheet, 0, lxw_col_t(columns - 1), columnWidth, nullptr);
        for (int r = 0; r < sheet.rows.size(); ++r)
            for (int c = 0; c < sheet.rows[r].size(); ++c)
                if (const lxw_error error = writeCell(worksheet, r, c, sheet.rows[r][c]); error != LXW_NO_ERROR)
                    return error;
        return LXW_NO_ERROR;
    }

  private:
    lxw_error writeCell(lxw_worksheet *worksheet, int r, int c, const QString &cell)
    {
        const lxw_row_t row = lxw_row_t(r);
        const lxw_col_t column = lxw_col_t(c);
        const QString trimmed = cell.trimmed();
        if (r == 0)
            return trimmed.isEmpty()
                       ? LXW_NO_ERROR
                       : worksheet_write_string(worksheet, row, column, cell.toUtf8().constData(), m_bold);
        if (const std::optional<double> number = tableNumber(trimmed))
            return worksheet_write_number(worksheet, row, column, *number, numberCellFormat(trimmed));
        if (const QDateTime when = QDateTime::fromString(trimmed, Qt::ISODate);
            when.isValid() && trimmed.size() >= 19) {
            const QDate day = when.date();
            const QTime time = when.time();
            lxw_datetime datetime{day.year(),  day.month(),   day.day(),
                                  time.hour(), time.minute(), double(time.second())};
            return worksheet_write_datetime(worksheet, row, column, &datetime, m_date);
        }
        if (trimmed.isEmpty())
            return LXW_NO_ERROR;
        return worksheet_write_string(worksheet, row, column, cell.toUtf8().constData(), nullptr);
    }

    lxw_format *numberCellFormat(const QString &cell)
    {
        const QString format = numberFormat(cell);
        lxw_format *&found = m_numberFormats[format];
        if (!found) {
            found = workbook_add_format(m_workbook);
            format_set_num_format(found, format.toLatin1().constData());
        }
        return found;
    }

    lxw_workbook *m_workbook;
    lxw_format *m_bold = nullptr;
    lxw_format *m_date = nullptr;
    QHash<QString, lxw_format *> m_numberFormats;
};

// Where a cell is longer than a worksheet cell can be, so that nothing is written at all.
QString overlongCell(const QList<XlsxSheet> &sheets)
{
    for (const XlsxSheet &sheet : sheets)
        for (qsizetype r = 0; r < sheet.rows.size(); ++r)
            for (qsizetype c = 0; c < sheet.rows[r].size(); ++c)
                if (sheet.rows[r][c].size() > maxCellCharacters)
                    return QStringLiteral("The cell in row %1, column %2 of the sheet \"%3\" holds %L4 characters; a "
                                          "worksheet cell takes at most %L5. Nothing was written.")
                        .arg(r + 1)
                        .arg(c + 1)
                        .arg(sheet.name)
                        .arg(sheet.rows[r][c].size())
                        .arg(maxCellCharacters);
    return {};
}

} // namespace

QString writeXlsx(const QList<XlsxSheet> &sheets, const QString &fileName)
{
    if (const QString refused = overlongCell(sheets); !refused.isEmpty())
        return refused;
    FileSave file(fileName);
    const FileSave::Status status = file.build([&sheets](const QString &scratchFile) {
        const QByteArray scratchName = QFile::encodeName(scratchFile);
        // The library's own working files go beside the workbook too.
        QByteArray folder = QFile::encodeName(QFileInfo(scratchFile).path());
        lxw_workbook_options options{};
        options.tmpdir = folder.data();
        lxw_workbook *workbook = workbook_new_opt(scratchName.constData(), &options);
        if (!workbook)
            return QStringLiteral("The workbook cannot be made.");
        Workbook book(workbook);
        lxw_error failed = LXW_NO_ERROR;
        for (const XlsxSheet &sheet : sheets)
            if (failed == LXW_NO_ERROR)
                failed = book.writeSheet(sheet);
        const lxw_error closed = workbook_close(workbook);
        const lxw_error error = failed != LXW_NO_ERROR ? failed : closed;
        return error == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(error));
    });
    return status == FileSave::Status::Saved ? QString() : file.failureMessage();
}
