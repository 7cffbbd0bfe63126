#pragma once

#include <QString>

class QByteArray;
class QIODevice;
struct TableSnapshot;

/// Writes the result grid as a worksheet file of BIFF records: a beginning-of-file record, the
/// code page (Windows-1252, so that readers need not guess it), one text cell (LABEL) per grid
/// cell in column order, and an end-of-file record.
class WorksheetWriter
{
  public:
    /// A LABEL record keeps its data length (8 + text length) in 16 bits.
    static constexpr int maxCellBytes = 0xFFFF - 8;
    /// The format's own row limit; readers stop there. Columns are 16-bit, 0-based.
    static constexpr int maxRows = 16384;
    static constexpr int maxColumns = 0x10000;

    /// True when the file was written. Otherwise `error` says why: a table the format cannot hold,
    /// a file that cannot be created, or a failed write; an existing file then stays as it was.
    static bool SaveGridAsExcel(const TableSnapshot &grid, const QString &fileName, QString &error);

    /// One LABEL record; false when the stream did not take all of it.
    static bool WriteExcelLabel(QIODevice &stream, quint16 column, quint16 row, const QByteArray &text);

  private:
    static QString refusal(const TableSnapshot &grid);
    static bool writeCells(QIODevice &stream, const TableSnapshot &grid);
    static bool writeRecord(QIODevice &stream, quint16 type, const QByteArray &data);
};
