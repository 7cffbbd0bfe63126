#include "record_text.h"

#include "data/header_walker.h"

bool isDataChar(char c)
{
    return (c >= '0' && c <= '9') || c == ',' || c == '-' || c == '.' || c == 'E' || c == ' ' || c == '\r' || c == '\n';
}

qsizetype dataBlockEnd(QByteArrayView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isDataChar(text[end]))
        ++end;
    return end;
}

QByteArray removeReadBuffer(QByteArrayView text)
{
    static constexpr QByteArrayView readBuffer = "Read Buffer:";
    QByteArray kept;
    kept.reserve(text.size());
    qsizetype copied = 0;
    // No Windows-1252 letter outside ASCII folds to one of these, so an ASCII comparison is exact.
    for (qsizetype at = 0; at + readBuffer.size() <= text.size();) {
        if ((text[at] | 0x20) == 'r' &&
            qstrnicmp(text.data() + at, readBuffer.size(), readBuffer.data(), readBuffer.size()) == 0) {
            kept.append(text.sliced(copied, at - copied));
            at += readBuffer.size();
            copied = at;
        } else {
            ++at;
        }
    }
    kept.append(text.sliced(copied));
    return kept;
}

std::optional<RecordBlock> recordBlock(QByteArrayView terminalText, int recordNo)
{
    if (recordNo < 1)
        return std::nullopt;
    const QByteArray text = removeReadBuffer(terminalText);
    HeaderWalker walker(text);
    qsizetype start = -1;
    for (int record = 0; record < recordNo; ++record) {
        start = walker.next();
        // Removing "Read Buffer:" can join or split headers, so the list's count may not hold here.
        if (start < 0)
            return std::nullopt;
    }
    const bool millivolts = start >= mvHeader.size() && text.sliced(start - mvHeader.size()).startsWith(mvHeader);
    return RecordBlock{text.sliced(start, dataBlockEnd(text, start) - start), millivolts ? SignalUnit::mV : SignalUnit::pH};
}

std::optional<QByteArray> recordData(QByteArrayView terminalText, int recordNo)
{
    const std::optional<RecordBlock> block = recordBlock(terminalText, recordNo);
    return block ? std::optional<QByteArray>(block->data) : std::nullopt;
}
