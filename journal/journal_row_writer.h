#pragma once

#include "journal/journal_status.h"

#include <QSqlQuery>
#include <QString>

#include <functional>

class JournalConnection;

/// Appends rows to the chain inside one write transaction that the caller began: reads the
/// chain's last row once, then links each new row to the one before it. Its statements are
/// prepared once for all rows of the transaction.
class JournalRowWriter
{
  public:
    /// Makes a row's content inside the transaction; a failure it reports ends the write.
    using MakeContent = std::function<QByteArray(JournalStatus *status)>;

    explicit JournalRowWriter(JournalConnection &connection);

    /// Reads the chain's last row.
    JournalStatus start();
    /// Writes the row unless a row with its uuid is there already (an earlier attempt whose answer was lost).
    JournalStatus write(const QString &uuid, const MakeContent &makeContent, const QByteArray &received);

  private:
    JournalStatus failed(const QSqlQuery &query) const;

    JournalConnection &m_connection;
    QSqlQuery m_exists;
    QSqlQuery m_insert;
    qint64 m_lastSeq = 0;
    QString m_lastSha256;
};
