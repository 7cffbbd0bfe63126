#pragma once

#include "tests/journal/journal_test_backend.h"

#include "journal/sqlite_journal_connection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

/// A journal file in a folder of its own, removed with the backend.
class SqliteTestBackend : public JournalTestBackend
{
  public:
    QString path() const { return m_dir.filePath(QStringLiteral("journal.sqlite")); }

    std::unique_ptr<JournalConnection> connection() override
    {
        return std::make_unique<SqliteJournalConnection>(path());
    }

    /// What anyone with the file can do: drop the guards and change rows.
    void tamper(const QString &sql) override
    {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            database.setDatabaseName(path());
            ASSERT_TRUE(database.open());
            QSqlQuery query(database);
            query.exec(QStringLiteral("DROP TRIGGER IF EXISTS journal_row_never_updated"));
            query.exec(QStringLiteral("DROP TRIGGER IF EXISTS journal_row_never_deleted"));
            ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(name);
    }

  private:
    QTemporaryDir m_dir;
};
