#pragma once

#include "commands/command_input.h"

#include <QDateTime>

#include <map>
#include <optional>

/// A titration started from this program: what the run dialog gave and when it was sent.
struct RunRecord
{
    RunEntry entry;
    QDateTime started;
};

/// Which data records came from runs started here. A run's table is the next record to appear
/// after the run was started.
class RunLog
{
  public:
    /// A run was started while the terminal held recordCount records.
    void runStarted(const RunEntry &entry, int recordCount, const QDateTime &started);
    /// The terminal now holds count records; when it holds fewer than before, every run is forgotten.
    void recordsCounted(int count);
    std::optional<RunRecord> runOf(int recordNo) const;

  private:
    std::map<int, RunRecord> m_runs;
    int m_count = 0;
};
