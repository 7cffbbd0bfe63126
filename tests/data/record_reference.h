#pragma once

// Straightforward versions of the record rules, written for plain reading rather than speed; the
// tests and the fuzzer compare the real code with them.

#include "data/data_block.h"
#include "data/header_walker.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <optional>
#include <ostream>

/// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace reference {

/// Position right after each header of a walk over `text`, taking the earlier header of the two
/// kinds each time and searching on right after it.
inline QList<qsizetype> headerEnds(const QByteArray &text)
{
    QList<qsizetype> ends;
    qsizetype start = 0;
    for (;;) {
        const qsizetype ph = text.indexOf(phHeader, start);
        const qsizetype mv = text.indexOf(mvHeader, start);
        if (ph < 0 && mv < 0)
            return ends;
        const bool takePh = mv < 0 || (ph >= 0 && ph < mv);
        start = takePh ? ph + phHeader.size() : mv + mvHeader.size();
        ends.append(start);
    }
}

inline QByteArray removeReadBuffer(const QByteArray &text)
{
    const QByteArrayView needle = "read buffer:";
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        if (QByteArrayView(text)
                .sliced(i, std::min(needle.size(), text.size() - i))
                .compare(needle, Qt::CaseInsensitive) == 0) {
            i += needle.size();
        } else {
            out.append(text[i]);
            ++i;
        }
    }
    return out;
}

inline std::optional<QByteArray> recordData(const QByteArray &terminal, int recordNo)
{
    const QByteArray text = removeReadBuffer(terminal);
    const QList<qsizetype> ends = headerEnds(text);
    if (recordNo < 1 || recordNo > ends.size())
        return std::nullopt;
    const QByteArray allowed = "0123456789,-.E \r\n";
    QByteArray data;
    for (qsizetype i = ends[recordNo - 1]; i < text.size() && allowed.contains(text[i]); ++i)
        data.append(text[i]);
    return data;
}

inline QList<DataRow> splitDataBlock(QString data)
{
    data.replace(u' ', u'|');
    while (data.contains(QStringLiteral("||")))
        data.replace(QStringLiteral("||"), QStringLiteral("|"));
    QList<QString> lines{QString()};
    for (QChar c : data) {
        if (c.unicode() > 32)
            lines.last().append(c);
        else if (!lines.last().isEmpty())
            lines.append(QString());
    }
    if (lines.last().isEmpty())
        lines.removeLast();
    QList<DataRow> rows;
    for (const QString &line : lines) {
        QStringList fields = line.split(u'|');
        while (fields.size() < 6)
            fields.append(QStringLiteral(" "));
        rows.append({fields[1], fields[2], fields[3], fields[4], fields[5]});
    }
    return rows;
}

} // namespace reference
