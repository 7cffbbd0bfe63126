#include "results/result_files.h"

#include "common/dialogs.h"
#include "common/file_save.h"
#include "data/csv_writer.h"
#include "data/xlsx_writer.h"
#include "results/result_record.h"
#include "results/titration_report.h"

ResultFiles::ResultFiles(Dialogs &dialogs, QWidget *parent, ConfirmOverwrite confirm)
    : m_dialogs(dialogs), m_parent(parent), m_confirm(std::move(confirm))
{
}

QString ResultFiles::saveCsv(const ResultRecord &record)
{
    return save(record, QStringLiteral("csv"), QStringLiteral("CSV (*.csv)"), [&](const QString &fileName) {
        // A marked record says so under its table.
        QList<QStringList> rows = record.table;
        if (const QStringList marks = record.marks(); !marks.isEmpty())
            rows << QStringList() << QStringList{QStringLiteral("State"), marks.join(QStringLiteral(", "))};
        if (record.journal)
            rows << QStringList() << record.journalRows() << record.sampleRows();
        FileSave file(fileName);
        return file.write(csvText(rows)) == FileSave::Status::Saved ? QString() : file.failureMessage();
    });
}

QString ResultFiles::saveXlsx(const ResultRecord &record)
{
    return save(
        record, QStringLiteral("xlsx"), QStringLiteral("Excel workbook (*.xlsx)"), [&](const QString &fileName) {
            return writeXlsx(
                {{QStringLiteral("Table"), record.table}, {QStringLiteral("Results"), record.resultRows()}}, fileName);
        });
}

QString ResultFiles::exportReport(const ResultRecord &record)
{
    return save(record, QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)"),
                [&](const QString &fileName) { return TitrationReport(record).writePdf(fileName); });
}

QString ResultFiles::save(const ResultRecord &record, const QString &suffix, const QString &filter, const Writer &write)
{
    const QString fileName = m_dialogs.saveFileName(m_parent, {suffix, record.defaultFileName(suffix), filter});
    if (fileName.isEmpty() || !m_confirm(fileName))
        return {};
    if (const QString error = write(fileName); !error.isEmpty()) {
        m_dialogs.error(m_parent, error);
        return {};
    }
    return fileName;
}
