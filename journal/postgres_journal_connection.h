#pragma once

#include "journal/journal_connection.h"

#include <QString>

/// Where the lab's journal server is. There is no password: libpq finds it in its password file
/// (~/.pgpass) or environment (PGPASSWORD), as every PostgreSQL client does.
struct PostgresJournalSettings
{
    QString host; ///< a name, an address, or the folder of a Unix socket
    int port = 5432;
    QString database;
    QString user;
    int connectTimeoutSeconds = 5;
};

/// The journal on a PostgreSQL server (Qt's QPSQL driver). The server keeps the rules: benches
/// may only insert and read, and it refuses a row that does not follow the chain.
class PostgresJournalConnection : public JournalConnection
{
  public:
    explicit PostgresJournalConnection(PostgresJournalSettings settings);
    ~PostgresJournalConnection() override;

    JournalStatus open() override;
    QSqlDatabase database() const override;
    JournalStatus beginWrite() override;
    JournalStatus ready() override;
    /// A pattern, so the trigram index can find the rows.
    QString containsCondition(const QString &column) const override
    {
        return QStringLiteral("%1 LIKE ?").arg(column);
    }
    QString containsValue(const QString &text) const override;
    JournalStatus statusOf(const QSqlError &error) const override;

    /// Points a QPSQL connection at the server, to be opened.
    static void configure(QSqlDatabase &database, const PostgresJournalSettings &settings);

    /// The key of the transaction lock that every writer of the chain takes, also the server's trigger.
    static constexpr qint64 ChainLock = 7283457001;

  private:
    PostgresJournalSettings m_settings;
    QString m_connectionName;
    mutable bool m_lost = false;
};
