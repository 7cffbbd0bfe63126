#include "record_text.h"

#include "data/header_walker.h"

bool isDataChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u',' || u == u'-' || u == u'.' || u == u'E' || u == u' ' || u == u'\r' ||
           u == u'\n';
}

qsizetype dataBlockEnd(QStringView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isDataChar(text[end]))
        ++end;
    return end;
}

QString removeReadBuffer(QStringView text)
{
    return text.toString().remove(QStringLiteral("Read Buffer:"), Qt::CaseInsensitive);
}

std::optional<QString> recordData(QStringView terminalText, int recordNo)
{
    if (recordNo < 1)
        return std::nullopt;
    const QString text = removeReadBuffer(terminalText);
    HeaderWalker walker(text);
    qsizetype start = -1;
    for (int record = 0; record < recordNo; ++record) {
        start = walker.next();
        // Removing "Read Buffer:" can join or split headers, so the list's count may not hold here.
        if (start < 0)
            return std::nullopt;
    }
    return text.sliced(start, dataBlockEnd(text, start) - start);
}
