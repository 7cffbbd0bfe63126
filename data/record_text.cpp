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

namespace {

// No Windows-1252 letter outside ASCII folds to one of these, so an ASCII comparison is exact.
bool isReadBufferAt(QByteArrayView text, qsizetype at)
{
    return at + readBufferText.size() <= text.size() && (text[at] | 0x20) == 'r' &&
           qstrnicmp(text.data() + at, readBufferText.size(), readBufferText.data(), readBufferText.size()) == 0;
}

SignalUnit unitOfHeaderBefore(QByteArrayView text, qsizetype headerEnd)
{
    const bool millivolts = headerEnd >= mvHeader.size() && text.sliced(headerEnd - mvHeader.size()).startsWith(mvHeader);
    return millivolts ? SignalUnit::mV : SignalUnit::pH;
}

// The data block from `from` on in the text with every "Read Buffer:" removed, read from the
// text as it stands. A "Read Buffer:" begins with a letter, so a run of data characters ends
// where one begins; it cannot overlap itself, so each one found is one the removal takes.
QByteArray dataBlockWithoutReadBuffer(QByteArrayView text, qsizetype from)
{
    QByteArray data;
    for (;;) {
        const qsizetype end = dataBlockEnd(text, from);
        data.append(text.sliced(from, end - from));
        if (!isReadBufferAt(text, end))
            return data;
        from = end + readBufferText.size();
    }
}

std::optional<QByteArray> dataOf(const std::optional<RecordBlock> &block)
{
    return block ? std::optional<QByteArray>(block->data) : std::nullopt;
}

} // namespace

qsizetype findReadBuffer(QByteArrayView text, qsizetype from)
{
    for (qsizetype at = from; at + readBufferText.size() <= text.size(); ++at) {
        if (isReadBufferAt(text, at))
            return at;
    }
    return -1;
}

QByteArray removeReadBuffer(QByteArrayView text)
{
    QByteArray kept;
    kept.reserve(text.size());
    qsizetype copied = 0;
    for (qsizetype at = findReadBuffer(text, 0); at >= 0; at = findReadBuffer(text, copied)) {
        kept.append(text.sliced(copied, at - copied));
        copied = at + readBufferText.size();
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
    return RecordBlock{text.sliced(start, dataBlockEnd(text, start) - start), unitOfHeaderBefore(text, start)};
}

std::optional<QByteArray> recordData(QByteArrayView terminalText, int recordNo)
{
    return dataOf(recordBlock(terminalText, recordNo));
}

std::optional<RecordBlock> recordBlock(QByteArrayView terminalText, const RecordCounter &records, int recordNo)
{
    // Before the first "Read Buffer:" the text is what the removal leaves, so the headers up to
    // there, and the walk that finds them, are those counted over the text as it stands.
    const qsizetype firstRemoved = records.firstReadBuffer();
    if (recordNo < 1 || recordNo > records.count() ||
        (firstRemoved >= 0 && firstRemoved < records.headerEnd(recordNo)))
        return recordBlock(terminalText, recordNo);
    const qsizetype start = records.headerEnd(recordNo);
    return RecordBlock{dataBlockWithoutReadBuffer(terminalText, start), unitOfHeaderBefore(terminalText, start)};
}

std::optional<QByteArray> recordData(QByteArrayView terminalText, const RecordCounter &records, int recordNo)
{
    return dataOf(recordBlock(terminalText, records, recordNo));
}
