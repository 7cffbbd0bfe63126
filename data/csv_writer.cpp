#include "data/csv_writer.h"

#include "analysis/table_number.h"

#include <algorithm>

namespace {

QString csvField(const QString &cell)
{
    const QString trimmed = cell.trimmed();
    if (trimmed.isEmpty() || tableNumber(trimmed))
        return trimmed;
    const bool quoted = cell != trimmed || cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\r') ||
                        cell.contains(u'\n');
    if (!quoted)
        return cell;
    return u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QByteArray csvText(const QList<QStringList> &rows)
{
    qsizetype columns = 0;
    for (const QStringList &row : rows)
        columns = std::max(columns, row.size());
    QByteArray text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (qsizetype c = 0; c < columns; ++c)
            fields.append(csvField(row.value(c)));
        text += fields.join(u',').toUtf8() + "\r\n";
    }
    return text;
}
