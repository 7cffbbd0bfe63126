#include "app/terminal_text.h"

namespace {

constexpr QByteArrayView kBreak = "\r\n";
constexpr QByteArrayView kDoubleBreak = "\r\n\r\n";

// Copies runs without line ends in one piece; each CR LF, lone CR or lone LF becomes CR LF.
void appendNormalized(QByteArray &out, QByteArrayView bytes)
{
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
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

QList<QByteArray> TerminalText::lines() const
{
    QList<QByteArray> lines = m_text.split('\n');
    for (QByteArray &line : lines)
        line.chop(1); // the CR before each LF
    lines.last() = m_text.sliced(m_text.lastIndexOf('\n') + 1);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

qsizetype TerminalText::appendReceived(QByteArrayView bytes)
{
    const qsizetype from = m_text.size();
    if (bytes.isEmpty())
        return from;
    if (m_pendingCr && bytes.front() == '\n')
        bytes = bytes.sliced(1);
    m_pendingCr = bytes.endsWith('\r');
    appendNormalized(m_text, bytes);
    return from;
}

qsizetype TerminalText::addLine(QByteArrayView line)
{
    const qsizetype from = m_text.size();
    if (m_text.isEmpty() || endsWithLineBreak()) {
        appendNormalized(m_text, line);
        m_text.append(kBreak);
    } else {
        m_text.append(kBreak);
        appendNormalized(m_text, line);
    }
    return from;
}

qsizetype TerminalText::setText(QByteArrayView text)
{
    m_text = normalized(text);
    return 0;
}

qsizetype TerminalText::replace(qsizetype from, qsizetype length, QByteArrayView with)
{
    m_text.replace(from, length, normalized(with));
    return from;
}

qsizetype TerminalText::beautify()
{
    const qsizetype first = m_text.indexOf(kDoubleBreak);
    if (first < 0)
        return m_text.size();
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
    return first;
}
