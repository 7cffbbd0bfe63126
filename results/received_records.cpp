#include "results/received_records.h"

#include "data/header_walker.h"
#include "data/record_text.h"

#include <algorithm>

namespace {

constexpr qsizetype longestHeader = std::max(phHeader.size(), mvHeader.size());

// Start of the line that holds the header ending at headerEnd.
qsizetype headerLineStart(const QByteArray &text, qsizetype headerEnd)
{
    const bool millivolts = QByteArrayView(text).first(headerEnd).endsWith(mvHeader);
    const qsizetype headerStart = headerEnd - (millivolts ? mvHeader.size() : phHeader.size());
    return headerStart == 0 ? 0 : text.lastIndexOf('\n', headerStart - 1) + 1;
}

// How much of "Read Buffer:" stands at `at`, in any letter case: its full length, the length of
// a prefix that the text ends in, or 0 when something else stands there.
qsizetype readBufferAt(const QByteArray &text, qsizetype at)
{
    const qsizetype length = std::min(readBufferText.size(), text.size() - at);
    if (qstrnicmp(text.constData() + at, length, readBufferText.data(), length) != 0)
        return 0;
    return length;
}

} // namespace

QList<int> ReceivedRecords::receive(const QByteArray &cluster, const QDateTime &at, std::uint32_t tick)
{
    QList<int> begun;
    QByteArray &text = m_open ? m_open->bytes : m_outside;
    const qsizetype searchFrom = std::max(m_open ? m_headerEnd : 0, text.size() - longestHeader + 1);
    text += cluster;
    if (m_open) {
        m_open->lastByte = at;
        m_lastTick = tick;
    }
    HeaderWalker walker(m_open ? m_open->bytes : m_outside, searchFrom);
    for (qsizetype end = walker.next(); end >= 0; end = HeaderWalker(m_open->bytes, m_headerEnd).next()) {
        QByteArray &holder = m_open ? m_open->bytes : m_outside;
        const qsizetype lineStart = headerLineStart(holder, end);
        QByteArray rest = holder.mid(lineStart);
        if (m_open)
            finishOpen(lineStart);
        m_outside.clear();
        m_open = std::make_unique<ReceivedRecord>();
        m_open->bytes = std::move(rest);
        m_open->firstByte = at;
        m_open->lastByte = at;
        m_lastTick = tick;
        m_headerEnd = end - lineStart;
        m_scanFrom = m_headerEnd;
        begun.append(count());
    }
    if (m_open)
        findTableEnd();
    else if (m_outside.size() > 4 * longestHeader)
        m_outside.remove(0, m_outside.size() - 2 * longestHeader);
    return begun;
}

std::optional<int> ReceivedRecords::settle(std::uint32_t tick)
{
    if (!settling() || tick - m_lastTick < quietMs)
        return std::nullopt;
    finishOpen(m_open->bytes.size());
    return int(m_done.size());
}

std::optional<int> ReceivedRecords::abort()
{
    if (!m_open)
        return std::nullopt;
    m_open->aborted = true;
    finishOpen(m_open->bytes.size());
    return int(m_done.size());
}

std::shared_ptr<const ReceivedRecord> ReceivedRecords::record(int number) const
{
    if (number >= 1 && number <= m_done.size())
        return m_done[number - 1];
    if (m_open && number == count())
        return std::make_shared<const ReceivedRecord>(*m_open);
    return nullptr;
}

void ReceivedRecords::finishOpen(qsizetype end)
{
    findTableEnd();
    m_open->bytes.truncate(end);
    if (m_open->tableEnd > end)
        m_open->tableEnd = end;
    m_open->complete = true;
    m_done.append(std::shared_ptr<const ReceivedRecord>(m_open.release()));
    m_completed.append(int(m_done.size()));
}

// The table's data block runs over data characters and any "Read Buffer:" among them; it ends at
// the first other character. A "Read Buffer:" cut off at the end of the bytes so far leaves the
// end undecided.
void ReceivedRecords::findTableEnd()
{
    const QByteArray &text = m_open->bytes;
    while (m_open->tableEnd < 0) {
        m_scanFrom = dataBlockEnd(text, m_scanFrom);
        if (m_scanFrom == text.size())
            return;
        const qsizetype readBuffer = readBufferAt(text, m_scanFrom);
        if (readBuffer == 0)
            m_open->tableEnd = m_scanFrom;
        else if (readBuffer < readBufferText.size())
            return;
        else
            m_scanFrom += readBuffer;
    }
}
