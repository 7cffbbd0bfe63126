#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

/// One measuring table as it came over the serial line, from its header's line on, with the
/// instrument's printout that followed it: its results block. Edits of the terminal never reach it.
struct ReceivedRecord
{
    QByteArray bytes;
    /// Where the table's data block ends in bytes and the results block begins; -1 while the
    /// table still grows.
    qsizetype tableEnd = -1;
    QDateTime firstByte;
    QDateTime lastByte;
    /// The run was aborted before the instrument finished it.
    bool aborted = false;
    /// Nothing more will be added.
    bool complete = false;

    QByteArray table() const { return tableEnd < 0 ? bytes : bytes.left(tableEnd); }
    /// The table's data lines as the record finder reads them from a terminal holding the bytes.
    QByteArray dataBlock() const;
    /// The printout between the table and the next record, verbatim.
    QByteArray resultsBlock() const { return tableEnd < 0 ? QByteArray() : bytes.mid(tableEnd); }
    /// The table as the record finder reads it from the bytes, under the title row.
    QList<QStringList> tableRows(const QStringList &titleRow) const;
    /// The result table's column titles.
    static const QStringList &columnTitles();
    /// SHA-256 of bytes, in lower-case hexadecimal, as sha256sum prints it.
    QString sha256() const;
};
