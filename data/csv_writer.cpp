#include "data/csv_writer.h"

#include "analysis/table_number.h"

#include <algorithm>

namespace {

// A spreadsheet runs a text that begins with one of these as a formula.
bool startsLikeFormula(const QString &cell)
{
    return !cell.isEmpty() && QStringView(u"=+-@\t\r").contains(cell.front());
}

QString csvField(const QString &cell)
{
    const QString trimmed = cell.trimmed();
    if (trimmed.isEmpty() || tableNumber(trimmed))
        return trimmed;
    // The apostrophe keeps such a text a text, as spreadsheets show a typed one.
    const QString text = startsLikeFormula(cell) || startsLikeFormula(trimmed) ? u'\'' + cell : cell;
    const bool quoted = text != trimmed || text.contains(u',') || text.contains(u'"') || text.contains(u'\r') ||
                        text.contains(u'\n');
    if (!quoted)
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
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
