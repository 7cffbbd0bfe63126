#include "journal/journal_schema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {

// Drivers run one statement per call, or report only the first of several.
bool executeScript(const QString &script, QSqlQuery &query)
{
    for (const QString &statement : script.split(QStringLiteral(";\n\n"), Qt::SkipEmptyParts)) {
        if (!statement.trimmed().isEmpty() && !query.exec(statement))
            return false;
    }
    return true;
}

} // namespace

JournalSchema::JournalSchema(QString dialect) : m_dialect(std::move(dialect)) {}

QString JournalSchema::scriptPath(int version) const
{
    return QStringLiteral(":/journal/sql/%1/%2.sql").arg(m_dialect).arg(version, 3, 10, QLatin1Char('0'));
}

QStringList JournalSchema::sourceFilesAfter(int version) const
{
    QStringList files;
    for (int next = std::max(version, 0) + 1; next <= latestVersion(); ++next)
        files.append(scriptPath(next).mid(2));
    return files;
}

int JournalSchema::latestVersion() const
{
    int version = 0;
    while (QFile::exists(scriptPath(version + 1)))
        ++version;
    return version;
}

int JournalSchema::versionOf(QSqlDatabase &database)
{
    if (!database.tables().contains(QStringLiteral("journal_schema_version")))
        return database.lastError().isValid() ? -1 : 0;
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT max(version) FROM journal_schema_version")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

bool JournalSchema::migrate(QSqlDatabase &database, QString *error) const
{
    const int current = versionOf(database);
    if (current < 0) {
        *error = QStringLiteral("The journal's schema version cannot be read: %1").arg(database.lastError().text());
        return false;
    }
    for (int version = current + 1; version <= latestVersion(); ++version) {
        QFile file(scriptPath(version));
        file.open(QIODevice::ReadOnly);
        const QString script = QString::fromUtf8(file.readAll());
        QSqlQuery note(database);
        database.transaction();
        const bool applied = executeScript(script, note)
                             && note.exec(QStringLiteral("INSERT INTO journal_schema_version (version) VALUES (%1)"
                                                             " ON CONFLICT DO NOTHING")
                                              .arg(version))
                             && database.commit();
        if (!applied) {
            *error = QStringLiteral("The journal's schema step %1 failed: %2")
                         .arg(version)
                         .arg(note.lastError().isValid() ? note.lastError().text() : database.lastError().text());
            database.rollback();
            return false;
        }
    }
    return true;
}
