#pragma once

#include "journal/journal_connection.h"

#include <QString>

/// The journal in one SQLite file (Qt's QSQLITE driver), in write-ahead logging mode. A file that
/// is not a readable database is renamed aside with the time and a new journal is started.
class SqliteJournalConnection : public JournalConnection
{
  public:
    /// A writer waits this long for another one to finish before the write is reported locked.
    explicit SqliteJournalConnection(QString path, int busyTimeoutMs = 2000);
    ~SqliteJournalConnection() override;

    JournalStatus open() override;
    QSqlDatabase database() const override;
    JournalStatus beginWrite() override;
    QString containsCondition(const QString &column) const override
    {
        return QStringLiteral("instr(%1, ?) > 0").arg(column);
    }
    JournalStatus statusOf(const QSqlError &error) const override;
    QString keptAside() const override { return m_keptAside; }

  private:
    enum class Check
    {
        Usable,
        Damaged,
        Failed,
    };
    Check openFile(JournalStatus *status);
    bool keepAside(JournalStatus *status);

    QString m_path;
    QString m_connectionName;
    int m_busyTimeoutMs = 2000;
    QString m_keptAside;
};
