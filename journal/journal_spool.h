#pragma once

#include "journal/journal_status.h"
#include "journal/journal_write.h"

#include <deque>
#include <functional>

class Journal;
class LabJournal;

/// Keeps what the journal could not take yet and writes it later, in the order it was given.
/// Nothing is ever dropped: a row leaves the spool only once the journal has it. Each row gets
/// its uuid here, before the first attempt, so an attempt whose answer was lost is not doubled.
class JournalSpool
{
  public:
    using Write = std::function<JournalStatus(const JournalWrite &)>;

    explicit JournalSpool(Journal &journal);
    explicit JournalSpool(LabJournal &journal);
    /// Writes through the function, for a writer whose journal may change while rows wait.
    explicit JournalSpool(Write write);

    /// Writes the row now when nothing waits before it, else queues it behind the waiting ones.
    JournalStatus submit(JournalEntry entry);
    JournalStatus submit(JournalAmendment amendment);
    /// Writes the waiting rows in order and stops at the first that fails again.
    JournalStatus retry();

    qsizetype waiting() const { return qsizetype(m_waiting.size()); }
    /// Why the first waiting row was not written; ok when nothing waits.
    const JournalStatus &lastFailure() const { return m_lastFailure; }

  private:
    JournalStatus submitRow(JournalWrite row);

    Write m_write;
    std::deque<JournalWrite> m_waiting;
    JournalStatus m_lastFailure;
};
