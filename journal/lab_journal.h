#pragma once

#include "journal/journal_status.h"
#include "journal/journal_write.h"

#include <limits>

class Journal;

/// The lab server's journal with the bench's own journal as its outbox. What the server does not
/// take now (down, network gone, credentials or rights refused) is kept in the bench's journal and sent
/// later in the order it was written, without doubles: the server keeps each uuid once, and a
/// row counts as sent only after the server has it, so a kill while sending sends it again and
/// the server ignores the copy.
class LabJournal
{
  public:
    LabJournal(Journal &server, Journal &local);

    /// Rows sent at a time, so that a long outbox is sent in steps the window thread can afford.
    static constexpr qint64 SendBatch = 100;

    /// Ok when the server or, while it is away, the bench's journal has the row.
    JournalStatus write(const JournalWrite &row);
    /// Sends up to `limit` waiting rows, oldest first; stops at the first row the server does not
    /// take. It tries the server also while it is away: the caller knows when that is worth it.
    JournalStatus sendWaiting(qint64 limit = std::numeric_limits<qint64>::max());

    /// A server that did not take a row is away: new rows go to the bench's journal without a try
    /// (a try at a server that is off waits for the connect timeout) until a send succeeds.
    bool away() const { return m_away; }

    /// Rows kept on the bench that the server does not have yet.
    qint64 waiting() const { return m_waiting; }
    bool offline() const { return m_waiting > 0; }
    /// The server's answer to the last attempt: why it is offline.
    const JournalStatus &serverStatus() const { return m_serverStatus; }

  private:
    JournalStatus send(const JournalWrite &row);
    JournalStatus keepLocally(const JournalWrite &row);

    Journal &m_server;
    Journal &m_local;
    qint64 m_waiting = 0;
    bool m_away = false;
    JournalStatus m_serverStatus;
};
