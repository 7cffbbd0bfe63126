#include "commands/instrument_error.h"

#include "common/cp1252.h"

namespace {

bool isBreak(char byte)
{
    return byte == '\r' || byte == '\n';
}

qsizetype lineEnd(const QByteArray &text, qsizetype start)
{
    while (start < text.size() && !isBreak(text[start]))
        ++start;
    return start;
}

} // namespace

std::optional<QString> instrumentError(const QByteArray &text, qsizetype from)
{
    if (from < 0 || from > text.size())
        return std::nullopt;
    qsizetype start = from;
    if (start > 0 && !isBreak(text[start - 1]))
        start = lineEnd(text, start);
    while (start < text.size()) {
        const qsizetype end = lineEnd(text, start);
        const QByteArray line = text.sliced(start, end - start);
        if (line.size() >= 2 && line[0] == 'E' && line[1] >= '0' && line[1] <= '9')
            return cp1252::decode(line).trimmed();
        start = end + 1;
    }
    return std::nullopt;
}
