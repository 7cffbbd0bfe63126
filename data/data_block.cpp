#include "data_block.h"

namespace {

// "|" stands for a run of blanks, as it also merges with a "|" that the text itself holds.
const QChar fieldBar = u'|';

QString barredFields(QStringView data)
{
    QString barred;
    barred.reserve(data.size());
    for (QChar c : data) {
        if (c == u' ')
            c = fieldBar;
        if (c != fieldBar || !barred.endsWith(fieldBar))
            barred.append(c);
    }
    return barred;
}

DataRow rowOf(QStringView line)
{
    DataRow row;
    row.fill(QStringLiteral(" "));
    qsizetype field = 0;
    qsizetype fieldStart = 0;
    for (qsizetype i = 0; i <= line.size() && field <= 5; ++i) {
        if (i < line.size() && line[i] != fieldBar)
            continue;
        if (field >= 1)
            row[field - 1] = line.sliced(fieldStart, i - fieldStart).toString();
        ++field;
        fieldStart = i + 1;
    }
    return row;
}

} // namespace

QList<DataRow> splitDataBlock(QStringView data)
{
    const QString barred = barredFields(data);
    QList<DataRow> rows;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i <= barred.size(); ++i) {
        if (i < barred.size() && barred[i].unicode() > 32)
            continue;
        if (i > lineStart)
            rows.append(rowOf(QStringView(barred).sliced(lineStart, i - lineStart)));
        lineStart = i + 1;
    }
    return rows;
}
