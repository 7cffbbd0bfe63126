#include "journal/postgres_journal_connection.h"

#include "journal/journal_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

PostgresJournalConnection::PostgresJournalConnection(PostgresJournalSettings settings)
    : m_settings(std::move(settings)), m_connectionName(QStringLiteral("journal-") + QUuid::createUuid().toString())
{
}

PostgresJournalConnection::~PostgresJournalConnection()
{
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void PostgresJournalConnection::configure(QSqlDatabase &database, const PostgresJournalSettings &settings)
{
    database.setHostName(settings.host);
    database.setPort(settings.port);
    database.setDatabaseName(settings.database);
    database.setUserName(settings.user);
    database.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(settings.connectTimeoutSeconds));
}

QSqlDatabase PostgresJournalConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

JournalStatus PostgresJournalConnection::open()
{
    QSqlDatabase database = QSqlDatabase::contains(m_connectionName)
                                ? QSqlDatabase::database(m_connectionName, false)
                                : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    configure(database, m_settings);
    if (!database.open())
        return statusOf(database.lastError());
    m_lost = false;
    QString error;
    const JournalSchema schema(QStringLiteral("postgres"));
    const int version = JournalSchema::versionOf(database);
    if (version < schema.latestVersion() && !schema.migrate(database, &error)) {
        return {JournalStatus::Code::Refused,
                QStringLiteral("%1\nThe database owner can create the journal with the scripts %2 of Korvane's "
                               "sources.")
                    .arg(error, schema.sourceFilesAfter(version).join(QStringLiteral(", ")))};
    }
    return {};
}

JournalStatus PostgresJournalConnection::ready()
{
    if (!m_lost && database().isOpen())
        return {};
    database().close();
    return open();
}

JournalStatus PostgresJournalConnection::beginWrite()
{
    QSqlDatabase database = this->database();
    if (!database.transaction())
        return statusOf(database.lastError());
    // The same lock as the server's insert trigger: one writer at a time reads and extends the chain.
    QSqlQuery lock(database);
    if (!lock.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(ChainLock))) {
        const JournalStatus status = statusOf(lock.lastError());
        database.rollback();
        return status;
    }
    return {};
}

QString PostgresJournalConnection::containsValue(const QString &text) const
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

JournalStatus PostgresJournalConnection::statusOf(const QSqlError &error) const
{
    const QString code = error.nativeErrorCode();
    const QString message =
        QStringLiteral("Lab journal %1/%2: %3").arg(m_settings.host, m_settings.database, error.text());
    // No SQL state at all: the connection itself failed or was closed by the server.
    const bool lost = code.isEmpty() || code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P"))
                      || code.startsWith(QLatin1String("28")) || code == QLatin1String("3D000");
    if (lost) {
        m_lost = true;
        return {JournalStatus::Code::Unreachable, message};
    }
    if (code == QLatin1String("40001") || code == QLatin1String("40P01") || code == QLatin1String("55P03"))
        return {JournalStatus::Code::Locked, message};
    if (code.startsWith(QLatin1String("53")) || code == QLatin1String("25006"))
        return {JournalStatus::Code::NotWritable, message};
    return {JournalStatus::Code::Refused, message};
}
