#include "data/xlsx_writer.h"

#include "analysis/table_number.h"
#include "common/file_save.h"

#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <algorithm>

namespace {

void writeSheet(lxw_workbook *workbook, const XlsxSheet &sheet, lxw_format *bold)
{
    lxw_worksheet *worksheet = workbook_add_worksheet(workbook, sheet.name.toUtf8().constData());
    // Wide enough for the column titles.
    constexpr double columnWidth = 16;
    qsizetype columns = 0;
    for (const QStringList &row : sheet.rows)
        columns = std::max(columns, row.size());
    if (columns > 0)
        worksheet_set_column(worksheet, 0, lxw_col_t(columns - 1), columnWidth, nullptr);
    for (int r = 0; r < sheet.rows.size(); ++r) {
        lxw_format *format = r == 0 ? bold : nullptr;
        for (int c = 0; c < sheet.rows[r].size(); ++c) {
            const QString cell = sheet.rows[r][c].trimmed();
            if (const std::optional<double> number = tableNumber(cell); number && r > 0)
                worksheet_write_number(worksheet, lxw_row_t(r), lxw_col_t(c), *number, format);
            else if (!cell.isEmpty())
                worksheet_write_string(worksheet, lxw_row_t(r), lxw_col_t(c), sheet.rows[r][c].toUtf8().constData(),
                                       format);
        }
    }
}

} // namespace

QString writeXlsx(const QList<XlsxSheet> &sheets, const QString &fileName)
{
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
        lxw_format *bold = workbook_add_format(workbook);
        format_set_bold(bold);
        for (const XlsxSheet &sheet : sheets)
            writeSheet(workbook, sheet, bold);
        const lxw_error error = workbook_close(workbook);
        return error == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(error));
    });
    return status == FileSave::Status::Saved ? QString() : file.failureMessage();
}
