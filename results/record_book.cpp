#include "results/record_book.h"

void RecordBook::received(const QByteArray &cluster, const QDateTime &at, std::uint32_t tick)
{
    m_begun += m_received.receive(cluster, at, tick);
}

void RecordBook::terminalCounted(int count)
{
    m_runs.recordsCounted(count);
    if (count < m_count) {
        m_receivedOf.clear();
        m_running.reset();
    } else if (count > m_count && m_begun.size() == count - m_count) {
        for (int i = 0; i < m_begun.size(); ++i)
            m_receivedOf[m_count + 1 + i] = m_begun[i];
    }
    m_begun.clear();
    m_count = count;
}

QList<int> RecordBook::takeCompleted()
{
    QList<int> numbers;
    for (const int receivedNo : m_received.takeCompleted()) {
        const int recordNo = terminalNumberOf(receivedNo);
        if (m_running && *m_running == recordNo)
            m_running.reset();
        numbers.append(recordNo);
    }
    return numbers;
}

void RecordBook::runStarted(const RunEntry &entry, int terminalCount, const QDateTime &started)
{
    m_runs.runStarted(entry, terminalCount, started);
    m_running = terminalCount + 1;
}

void RecordBook::abortRun()
{
    if (!m_running)
        return;
    const auto found = m_receivedOf.find(*m_running);
    if (found != m_receivedOf.end() && found->second == m_received.count() && m_received.growing())
        m_received.abort();
    m_running.reset();
}

bool RecordBook::runInProgress() const
{
    if (!m_running)
        return false;
    // Once its table has ended the instrument has finished; only its results may still come.
    const std::shared_ptr<const ReceivedRecord> record = receivedOf(*m_running);
    return !record || record->tableEnd < 0;
}

std::shared_ptr<const ReceivedRecord> RecordBook::receivedOf(int recordNo) const
{
    const auto found = m_receivedOf.find(recordNo);
    return found == m_receivedOf.end() ? nullptr : m_received.record(found->second);
}

int RecordBook::terminalNumberOf(int receivedNo) const
{
    for (const auto &[recordNo, received] : m_receivedOf)
        if (received == receivedNo)
            return recordNo;
    return 0;
}
