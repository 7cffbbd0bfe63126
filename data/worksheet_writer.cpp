#include "data/worksheet_writer.h"

#include "common/cp1252.h"
#include "common/file_save.h"
#include "data/table_snapshot.h"

#include <QIODevice>
#include <QtEndian>

namespace {

constexpr quint16 recordBof = 0x0809;
constexpr quint16 recordCodepage = 0x0042;
constexpr quint16 codepageWindows1252 = 1252;
constexpr quint16 recordLabel = 0x0204;
constexpr quint16 recordEof = 0x000A;
constexpr quint16 documentWorksheet = 0x0010;

QByteArray words(std::initializer_list<quint16> values)
{
    QByteArray bytes;
    for (quint16 value : values) {
        char le[2];
        qToLittleEndian(value, le);
        bytes.append(le, 2);
    }
    return bytes;
}

// The worksheet is read with a comma as the decimal separator.
QByteArray cellBytes(const TableSnapshot &grid, int row, int column)
{
    return cp1252::encode(grid.cell(row, column).replace(QLatin1Char('.'), QLatin1Char(',')));
}

} // namespace

bool WorksheetWriter::SaveGridAsExcel(const TableSnapshot &grid, const QString &fileName, QString &error)
{
    error = refusal(grid);
    if (!error.isEmpty())
        return false;
    FileSave file(fileName);
    const FileSave::Status status = file.write([&grid](QIODevice &stream) {
        return writeRecord(stream, recordBof, words({0, documentWorksheet, 0, 0})) &&
               writeRecord(stream, recordCodepage, words({codepageWindows1252})) && writeCells(stream, grid) &&
               writeRecord(stream, recordEof, {});
    });
    if (status == FileSave::Status::NotCreated)
        error = QStringLiteral("Cannot create file %1").arg(fileName);
    else if (status == FileSave::Status::NotWritten)
        error = file.failureMessage();
    return status == FileSave::Status::Saved;
}

bool WorksheetWriter::WriteExcelLabel(QIODevice &stream, quint16 column, quint16 row, const QByteArray &text)
{
    const auto length = static_cast<quint16>(text.size());
    return writeRecord(stream, recordLabel, words({row, column, 0, length}) + text);
}

QString WorksheetWriter::refusal(const TableSnapshot &grid)
{
    if (grid.rowCount() > maxRows)
        return QStringLiteral("The table has %1 rows; a worksheet file holds at most %2 rows. Nothing was saved.")
            .arg(grid.rowCount())
            .arg(maxRows);
    if (grid.columnCount() > maxColumns)
        return QStringLiteral("The table has %1 columns; a worksheet file holds at most %2 columns. Nothing was saved.")
            .arg(grid.columnCount())
            .arg(maxColumns);
    // Rows are named as the grid counts them (title row 0, data rows from 1), columns from 1.
    for (int c = 0; c < grid.columnCount(); ++c) {
        for (int r = 0; r < grid.rowCount(); ++r) {
            const qsizetype bytes = cellBytes(grid, r, c).size();
            if (bytes > maxCellBytes)
                return QStringLiteral("The cell in row %1, column %2 holds %3 bytes; a worksheet cell holds at most "
                                      "%4 bytes. Nothing was saved.")
                    .arg(r)
                    .arg(c + 1)
                    .arg(bytes)
                    .arg(maxCellBytes);
        }
    }
    return {};
}

bool WorksheetWriter::writeCells(QIODevice &stream, const TableSnapshot &grid)
{
    for (int c = 0; c < grid.columnCount(); ++c)
        for (int r = 0; r < grid.rowCount(); ++r)
            if (!WriteExcelLabel(stream, static_cast<quint16>(c), static_cast<quint16>(r), cellBytes(grid, r, c)))
                return false;
    return true;
}

bool WorksheetWriter::writeRecord(QIODevice &stream, quint16 type, const QByteArray &data)
{
    const QByteArray record = words({type, static_cast<quint16>(data.size())}) + data;
    return stream.write(record) == record.size();
}
