#include "journal/lab_journal.h"

#include "journal/journal.h"

namespace {

QString uuidOf(const JournalWrite &row)
{
    return std::visit([](const auto &written) { return written.uuid; }, row);
}

} // namespace

LabJournal::LabJournal(Journal &server, Journal &local)
    : m_server(server), m_local(local), m_waiting(local.unsentCount())
{
}

JournalStatus LabJournal::write(const JournalWrite &row)
{
    // While rows wait, a new one goes behind them, so the server receives everything in order.
    if (m_waiting == 0) {
        m_serverStatus = send(row);
        if (m_serverStatus.ok())
            return m_serverStatus;
    }
    // Whatever the server's reason, the bench keeps the row: one refused for a cause the lab can
    // fix (no schema yet, a role without rights) is sent once it is fixed, and never lost.
    const JournalStatus kept = keepLocally(row);
    if (!kept.ok())
        return kept;
    ++m_waiting;
    if (!m_away)
        sendWaiting(SendBatch);
    return {};
}

JournalStatus LabJournal::sendWaiting(qint64 limit)
{
    while (m_waiting > 0 && limit > 0) {
        JournalStatus status;
        const QList<JournalWrite> rows = m_local.unsent(int(std::min(limit, SendBatch)), &status);
        if (!status.ok())
            return status;
        if (rows.isEmpty())
            m_waiting = 0;
        for (const JournalWrite &row : rows) {
            m_serverStatus = send(row);
            if (!m_serverStatus.ok())
                return m_serverStatus;
            status = m_local.markSent(uuidOf(row));
            if (!status.ok())
                return status;
            --m_waiting;
            --limit;
        }
    }
    return {};
}

JournalStatus LabJournal::send(const JournalWrite &row)
{
    const JournalStatus status = std::holds_alternative<JournalEntry>(row)
                                     ? m_server.append(std::get<JournalEntry>(row))
                                     : m_server.amend(std::get<JournalAmendment>(row));
    m_away = !status.ok();
    return status;
}

JournalStatus LabJournal::keepLocally(const JournalWrite &row)
{
    if (const auto *entry = std::get_if<JournalEntry>(&row))
        return m_local.append(*entry);
    return m_local.keep(std::get<JournalAmendment>(row));
}
