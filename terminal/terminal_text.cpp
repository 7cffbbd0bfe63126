#include "terminal/terminal_text.h"

#include <algorithm>

namespace {

constexpr QByteArrayView kBreak = "\r\n";
constexpr QByteArrayView kDoubleBreak = "\r\n\r\n";

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Length of the line break that starts at `at`: 2 for CR LF or LF CR, 1 for a lone CR or LF, 0
// for no break.
qsizetype breakAt(QByteArrayView text, qsizetype at)
{
    if (!isBreak(text[at]))
        return 0;
    return at + 1 < text.size() && isBreak(text[at + 1]) && text[at + 1] != text[at] ? 2 : 1;
}

// Copies runs without line ends in one piece; each CR LF, lone CR or lone LF becomes CR LF.
void appendNormalized(QByteArray &out, QByteArrayView bytes)
{
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (!isBreak(c))
            continue;
        out.append(bytes.sliced(runStart, i - runStart));
        out.append(kBreak);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        runStart = i + 1;
    }
    out.append(bytes.sliced(runStart));
}

} // namespace

QByteArray TerminalText::normalized(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    appendNormalized(out, bytes);
    return out;
}

qsizetype TerminalText::lineEnd(qsizetype line) const
{
    return line + 1 < lineCount() ? m_lineStarts[line + 1] - breakLength(line) : m_text.size();
}

qsizetype TerminalText::lineAt(qsizetype offset) const
{
    return std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset) - m_lineStarts.cbegin() - 1;
}

QList<QByteArray> TerminalText::lines() const
{
    QList<QByteArray> lines;
    lines.reserve(lineCount());
    for (qsizetype line = 0; line < lineCount(); ++line)
        lines.append(m_text.sliced(lineStart(line), lineEnd(line) - lineStart(line)));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray TerminalText::shownFrom(qsizetype offset) const
{
    qsizetype line = lineAt(offset);
    qsizetype at = offset;
    if (at > lineEnd(line)) {
        // The second byte of a break: the break is shown already.
        ++line;
        at = lineStart(line);
    }
    QByteArray shown;
    shown.reserve(m_text.size() - at);
    for (; line < lineCount(); ++line) {
        shown.append(QByteArrayView(m_text).sliced(at, lineEnd(line) - at));
        if (line + 1 == lineCount())
            break;
        shown.append('\n');
        at = lineStart(line + 1);
    }
    return shown;
}

qsizetype TerminalText::bytesForShown(qsizetype offset, qsizetype count) const
{
    qsizetype at = offset;
    for (qsizetype i = 0; i < count && at < m_text.size(); ++i)
        at += std::max<qsizetype>(1, breakAt(m_text, at));
    return at - offset;
}

qsizetype TerminalText::appendReceived(QByteArrayView bytes)
{
    const qsizetype from = m_text.size();
    append(bytes);
    return from;
}

qsizetype TerminalText::addLine(QByteArrayView line)
{
    const qsizetype from = m_text.size();
    QByteArray added = normalized(line);
    if (m_text.isEmpty() || endsWithLineBreak())
        added.append(kBreak);
    else
        added.prepend(kBreak);
    append(added);
    return from;
}

qsizetype TerminalText::setText(QByteArrayView text)
{
    m_text = normalized(text);
    m_lineStarts = {0};
    m_pairedBreaks = 0;
    indexLines(0);
    return 0;
}

qsizetype TerminalText::replace(qsizetype from, qsizetype length, QByteArrayView with)
{
    const qsizetype restart = forgetLinesFrom(from);
    m_text.replace(from, length, normalized(with));
    indexLines(restart);
    return from;
}

qsizetype TerminalText::beautify()
{
    const qsizetype first = m_text.indexOf(kDoubleBreak);
    if (first < 0)
        return m_text.size();
    const qsizetype restart = forgetLinesFrom(first);
    QByteArray out;
    out.reserve(m_text.size());
    qsizetype done = 0;
    for (qsizetype at = first; at >= 0; at = m_text.indexOf(kDoubleBreak, done)) {
        out.append(QByteArrayView(m_text).sliced(done, at - done));
        out.append(kBreak);
        done = at + kDoubleBreak.size();
    }
    out.append(QByteArrayView(m_text).sliced(done));
    m_text = std::move(out);
    indexLines(restart);
    return first;
}

// Line content holds no CR or LF, so the break is the one or two break bytes at the line's end.
qsizetype TerminalText::breakLength(qsizetype line) const
{
    const qsizetype next = m_lineStarts[line + 1];
    return next - 2 >= m_lineStarts[line] && isBreak(m_text[next - 2]) ? 2 : 1;
}

// Drops the index from the line before offset on, since a change at offset can join or split the
// break that ends there; returns where indexing starts again, a byte the change leaves alone.
qsizetype TerminalText::forgetLinesFrom(qsizetype offset)
{
    const qsizetype line = lineAt(std::max<qsizetype>(0, offset - 1));
    for (qsizetype k = line; k + 1 < lineCount(); ++k)
        m_pairedBreaks -= breakLength(k) - 1;
    m_lineStarts.resize(line + 1);
    return m_lineStarts.last();
}

// Indexes the breaks from `from`, which lies in the last indexed line and after any break.
void TerminalText::indexLines(qsizetype from)
{
    for (qsizetype at = from; at < m_text.size();) {
        const qsizetype length = breakAt(m_text, at);
        if (length == 0) {
            ++at;
            continue;
        }
        at += length;
        m_pairedBreaks += length - 1;
        m_lineStarts.append(at);
    }
}

void TerminalText::append(QByteArrayView bytes)
{
    qsizetype from = m_text.size();
    // A lone break at the end pairs with a first new byte of the other kind.
    const bool openBreak = endsWithLineBreak() && breakLength(lineCount() - 2) == 1;
    m_text.append(bytes);
    if (openBreak && breakAt(m_text, from - 1) == 2) {
        ++m_lineStarts.last();
        ++m_pairedBreaks;
        ++from;
    }
    indexLines(from);
}
