#include "journal/journal_spool.h"

#include "journal/journal.h"
#include "journal/lab_journal.h"

#include <QUuid>

namespace {

QString newUuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

JournalSpool::JournalSpool(Journal &journal)
    : m_write([&journal](const JournalWrite &row) {
          if (const auto *entry = std::get_if<JournalEntry>(&row))
              return journal.append(*entry);
          return journal.amend(std::get<JournalAmendment>(row));
      })
{
}

JournalSpool::JournalSpool(LabJournal &journal)
    : m_write([&journal](const JournalWrite &row) { return journal.write(row); })
{
}

JournalSpool::JournalSpool(Write write) : m_write(std::move(write)) {}

JournalStatus JournalSpool::submit(JournalEntry entry)
{
    if (entry.uuid.isEmpty())
        entry.uuid = newUuid();
    return submitRow(std::move(entry));
}

JournalStatus JournalSpool::submit(JournalAmendment amendment)
{
    if (amendment.uuid.isEmpty())
        amendment.uuid = newUuid();
    // The time of the user's action, not of the attempt that finally succeeds.
    if (!amendment.time.isValid())
        amendment.time = QDateTime::currentDateTimeUtc();
    return submitRow(std::move(amendment));
}

JournalStatus JournalSpool::submitRow(JournalWrite row)
{
    m_waiting.push_back(std::move(row));
    return retry();
}

JournalStatus JournalSpool::retry()
{
    while (!m_waiting.empty()) {
        const JournalStatus status = m_write(m_waiting.front());
        if (!status.ok()) {
            m_lastFailure = status;
            return status;
        }
        m_waiting.pop_front();
    }
    m_lastFailure = {};
    return {};
}
