#pragma once

#include "results/received_record.h"

#include <QList>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

/// Finds the measuring tables in the bytes as they arrive from the serial line and keeps an
/// immutable copy of each. A record is complete when the next one begins, or once its table has
/// ended and the line has then been quiet for a while: the instrument prints its results right
/// after the table.
class ReceivedRecords
{
  public:
    static constexpr std::uint32_t quietMs = 3000;

    /// A cluster arrived at `at`, tick `tick`. Returns the numbers (1-based) of the records that
    /// began in it.
    QList<int> receive(const QByteArray &cluster, const QDateTime &at, std::uint32_t tick);
    /// Completes the open record when its table has ended and nothing came for quietMs; returns
    /// its number.
    std::optional<int> settle(std::uint32_t tick);
    /// Completes the open record as aborted; returns its number.
    std::optional<int> abort();
    /// The numbers of the records completed since the last call, oldest first.
    QList<int> takeCompleted() { return std::exchange(m_completed, {}); }

    int count() const { return int(m_done.size()) + (m_open ? 1 : 0); }
    /// A copy of record `number` as it stands; null outside 1..count().
    std::shared_ptr<const ReceivedRecord> record(int number) const;
    /// The open record's table has ended and it waits for the line to be quiet.
    bool settling() const { return m_open && m_open->tableEnd >= 0; }
    /// The open record's table is still growing.
    bool growing() const { return m_open && m_open->tableEnd < 0; }

  private:
    void finishOpen(qsizetype end);
    void findTableEnd();

    QList<std::shared_ptr<const ReceivedRecord>> m_done;
    std::unique_ptr<ReceivedRecord> m_open;
    // Bytes before any record: only the tail that a header arriving in parts may still need.
    QByteArray m_outside;
    qsizetype m_headerEnd = 0;
    qsizetype m_scanFrom = 0;
    std::uint32_t m_lastTick = 0;
    QList<int> m_completed;
};
