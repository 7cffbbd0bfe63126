#include "journal/sqlite_journal_connection.h"

#include "journal/journal_schema.h"

#include <QDateTime>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// SQLite's primary result codes that the journal tells apart.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteConstraint = 19;
constexpr int SqliteNotADatabase = 26;

int primaryCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

} // namespace

SqliteJournalConnection::SqliteJournalConnection(QString path, int busyTimeoutMs)
    : m_path(std::move(path)), m_connectionName(QStringLiteral("journal-") + QUuid::createUuid().toString()),
      m_busyTimeoutMs(busyTimeoutMs)
{
}

SqliteJournalConnection::~SqliteJournalConnection()
{
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase SqliteJournalConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

JournalStatus SqliteJournalConnection::open()
{
    JournalStatus status;
    const Check check = openFile(&status);
    if (check == Check::Damaged && keepAside(&status) && openFile(&status) == Check::Usable)
        return {};
    return status;
}

SqliteJournalConnection::Check SqliteJournalConnection::openFile(JournalStatus *status)
{
    // A connection whose open failed keeps reporting that error; a new attempt starts afresh.
    if (QSqlDatabase::contains(m_connectionName) && !QSqlDatabase::database(m_connectionName, false).isOpen())
        QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase database = QSqlDatabase::contains(m_connectionName)
                                ? QSqlDatabase::database(m_connectionName, false)
                                : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    database.setDatabaseName(m_path);
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
    if (!database.open()) {
        *status = statusOf(database.lastError());
        return Check::Failed;
    }
    // A file that is no database, or whose pages do not hold together, fails here.
    QSqlQuery check(database);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()) {
        *status = statusOf(check.lastError());
        return status->code == JournalStatus::Code::Damaged ? Check::Damaged : Check::Failed;
    }
    if (check.value(0).toString() != QLatin1String("ok")) {
        *status = {JournalStatus::Code::Damaged, check.value(0).toString()};
        return Check::Damaged;
    }
    check.finish();
    QSqlQuery setup(database);
    // Large pages hold many whole entries with their received bytes, so little of a page stays
    // empty; this counts only for a new file. The log is cut back after each checkpoint.
    setup.exec(QStringLiteral("PRAGMA page_size=65536"));
    setup.exec(QStringLiteral("PRAGMA journal_size_limit=4194304"));
    // Every commit reaches the disk before the user is told the record is kept.
    if (!setup.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !setup.exec(QStringLiteral("PRAGMA synchronous=FULL"))) {
        *status = statusOf(setup.lastError());
        return Check::Failed;
    }
    QString error;
    if (!JournalSchema(QStringLiteral("sqlite")).migrate(database, &error)) {
        *status = {JournalStatus::Code::NotWritable, error};
        return Check::Failed;
    }
    return Check::Usable;
}

bool SqliteJournalConnection::keepAside(JournalStatus *status)
{
    QSqlDatabase::database(m_connectionName, false).close();
    const QString aside =
        m_path + QStringLiteral(".damaged-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFile::exists(m_path + suffix) && !QFile::rename(m_path + suffix, aside + suffix)) {
            *status = {JournalStatus::Code::NotWritable,
                       QStringLiteral("The damaged journal %1 cannot be renamed to %2.").arg(m_path, aside + suffix)};
            return false;
        }
    }
    m_keptAside = aside;
    return true;
}

JournalStatus SqliteJournalConnection::beginWrite()
{
    // IMMEDIATE takes the write lock now, so the chain's last row cannot change under us.
    QSqlQuery begin(database());
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return statusOf(begin.lastError());
    return {};
}

JournalStatus SqliteJournalConnection::statusOf(const QSqlError &error) const
{
    const QString message = QStringLiteral("Journal %1: %2").arg(m_path, error.text());
    switch (primaryCode(error)) {
    case SqliteBusy:
    case SqliteLocked:
        return {JournalStatus::Code::Locked, message};
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return {JournalStatus::Code::Damaged, message};
    case SqliteConstraint:
        return {JournalStatus::Code::Refused, message};
    default:
        return {JournalStatus::Code::NotWritable, message};
    }
}
