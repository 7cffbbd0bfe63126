#include "results/run_log.h"

void RunLog::runStarted(const RunEntry &entry, int recordCount, const QDateTime &started)
{
    m_runs[recordCount + 1] = {entry, started};
}

void RunLog::recordsCounted(int count)
{
    // Fewer records means the text was cleared or replaced: the numbers now name other tables.
    if (count < m_count)
        m_runs.clear();
    m_count = count;
}

std::optional<RunRecord> RunLog::runOf(int recordNo) const
{
    const auto found = m_runs.find(recordNo);
    return found == m_runs.end() ? std::nullopt : std::optional<RunRecord>(found->second);
}
