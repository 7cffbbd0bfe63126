#pragma once

#include "tests/journal/journal_test_backend.h"

#include "journal/postgres_journal_connection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

/// A database of its own on the test server that scripts/test.sh starts; KORVANE_TEST_PGHOST
/// names the server's socket folder. Dropped with the backend.
class PostgresTestBackend : public JournalTestBackend
{
  public:
    static constexpr const char *SkipMessage =
        "No PostgreSQL server for the tests: scripts/test.sh starts one, or set KORVANE_TEST_PGHOST to the "
        "socket folder of a server started with scripts/journal-test-server.sh.";

    static bool available() { return !qEnvironmentVariableIsEmpty("KORVANE_TEST_PGHOST"); }

    PostgresTestBackend() : m_database(QStringLiteral("journal_") + QUuid::createUuid().toString(QUuid::Id128))
    {
        runAsOwner(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(m_database));
        // The benches' login; made once per server, members of the role the schema grants to.
        runAsOwner(QStringLiteral("postgres"),
                   QStringLiteral("DO $$ BEGIN "
                                  "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'korvane_bench') THEN "
                                  "CREATE ROLE korvane_bench NOLOGIN; END IF; "
                                  "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'bench_a') THEN "
                                  "CREATE ROLE bench_a LOGIN IN ROLE korvane_bench; END IF; "
                                  "EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END $$"));
    }
    ~PostgresTestBackend() override
    {
        runAsOwner(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
    }

    PostgresJournalSettings settings(const QString &user = QStringLiteral("korvane_owner")) const
    {
        return {qEnvironmentVariable("KORVANE_TEST_PGHOST"), 5432, m_database, user, 5};
    }

    std::unique_ptr<JournalConnection> connection() override
    {
        return std::make_unique<PostgresJournalConnection>(settings());
    }

    void tamper(const QString &sql) override
    {
        runAsOwner(m_database, sql, QStringLiteral("SET korvane.journal_maintenance = 'on'"));
    }

    /// Runs the statements as the given user on this test's database; the error text, empty on success.
    QString run(const QString &user, const QString &sql) const { return execute(m_database, user, sql); }

  private:
    void runAsOwner(const QString &database, const QString &sql, const QString &setting = {}) const
    {
        const QString error = execute(database, QStringLiteral("korvane_owner"), sql, setting);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }

    /// The driver reports only the first of several statements; each goes alone.
    static QString execute(const QString &databaseName, const QString &user, const QString &sql,
                           const QString &setting = {})
    {
        const QString name = QUuid::createUuid().toString();
        QString error;
        {
            QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            database.setHostName(qEnvironmentVariable("KORVANE_TEST_PGHOST"));
            database.setDatabaseName(databaseName);
            database.setUserName(user);
            if (!database.open()) {
                error = database.lastError().text();
            } else {
                QSqlQuery query(database);
                if ((!setting.isEmpty() && !query.exec(setting)) || !query.exec(sql))
                    error = query.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(name);
        return error;
    }

    QString m_database;
};
