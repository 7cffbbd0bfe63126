#pragma once

#include "journal/journal_amendment.h"
#include "journal/journal_entry.h"
#include "journal/journal_status.h"

#include <deque>
#include <variant>

class Journal;

/// Keeps what the journal could not take yet and writes it later, in the order it was given.
/// Nothing is ever dropped: a row leaves the spool only once the journal has it. Each row gets
/// its uuid here, before the first attempt, so an attempt whose answer was lost is not doubled.
class JournalSpool
{
  public:
    explicit JournalSpool(Journal &journal) : m_journal(journal) {}

    /// Writes the row now when nothing waits before it, else queues it behind the waiting ones.
    JournalStatus submit(JournalEntry entry);
    JournalStatus submit(JournalAmendment amendment);
    /// Writes the waiting rows in order and stops at the first that fails again.
    JournalStatus retry();

    qsizetype waiting() const { return qsizetype(m_waiting.size()); }
    /// Why the first waiting row was not written; ok when nothing waits.
    const JournalStatus &lastFailure() const { return m_lastFailure; }

  private:
    using Row = std::variant<JournalEntry, JournalAmendment>;
    JournalStatus submitRow(Row row);
    JournalStatus write(const Row &row);

    Journal &m_journal;
    std::deque<Row> m_waiting;
    JournalStatus m_lastFailure;
};
