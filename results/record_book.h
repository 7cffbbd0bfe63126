#pragma once

#include "results/received_records.h"
#include "results/run_log.h"

#include <QDateTime>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

/// What is known of the terminal's data records beyond their text: the copy each was received
/// as, the run it came from, and whether a run started here is still waiting for its record.
/// Terminal records are numbered as the record chooser lists them.
class RecordBook
{
  public:
    /// A cluster arrived, before it is appended to the terminal.
    void received(const QByteArray &cluster, const QDateTime &at, std::uint32_t tick);
    /// The terminal now holds count records. Records that began in the cluster just received take
    /// the new numbers; fewer records than before means the text was cleared or replaced, and
    /// every number is forgotten.
    void terminalCounted(int count);
    /// Completes the open record once the line has been quiet after its table.
    void settle(std::uint32_t tick) { m_received.settle(tick); }
    /// The terminal numbers of the records completed since the last call; 0 for a record the
    /// terminal does not show.
    QList<int> takeCompleted();
    /// The open record's table has ended and it waits for the line to be quiet.
    bool settling() const { return m_received.settling(); }

    void runStarted(const RunEntry &entry, int terminalCount, const QDateTime &started);
    std::optional<RunRecord> runOf(int recordNo) const { return m_runs.runOf(recordNo); }
    /// The record of a run started here has not been completed yet.
    bool runInProgress() const;
    /// The running run never began: no record is waited for.
    void runFailed() { m_running.reset(); }
    /// Gives up the running run; its record, when it has begun, is completed as aborted.
    void abortRun();

    /// The copy of terminal record recordNo as received; null when it did not come over the line.
    std::shared_ptr<const ReceivedRecord> receivedOf(int recordNo) const;

  private:
    int terminalNumberOf(int receivedNo) const;

    ReceivedRecords m_received;
    RunLog m_runs;
    std::map<int, int> m_receivedOf;
    QList<int> m_begun;
    int m_count = 0;
    std::optional<int> m_running;
};
