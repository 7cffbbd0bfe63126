#include "journal/lab_server_check.h"

#include "journal/journal_schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

bool holds(QSqlDatabase &database, const QString &condition)
{
    QSqlQuery query(database);
    return query.exec(QStringLiteral("SELECT coalesce((%1), false)").arg(condition)) && query.next()
           && query.value(0).toBool();
}

// The schema's scripts create tables, a role for the benches (unless it exists) and an extension.
bool mayCreateSchema(QSqlDatabase &database)
{
    return holds(database, QStringLiteral("has_database_privilege(current_database(), 'CREATE')"
                                          " AND has_schema_privilege(current_schema(), 'CREATE')"
                                          " AND (EXISTS (SELECT FROM pg_roles WHERE rolname = 'korvane_bench')"
                                          " OR (SELECT rolcreaterole OR rolsuper FROM pg_roles"
                                          " WHERE rolname = current_user))"));
}

QString journalText(QSqlDatabase &database, const PostgresJournalSettings &settings)
{
    const JournalSchema schema(QStringLiteral("postgres"));
    const int version = JournalSchema::versionOf(database);
    if (version < 0)
        return QStringLiteral("The journal's schema version cannot be read: %1").arg(database.lastError().text());
    if (version >= schema.latestVersion()) {
        if (!holds(database, QStringLiteral("has_table_privilege('journal_row', 'INSERT')")))
            return QStringLiteral("The journal is there, but %1 may not write to it: the database owner grants it "
                                  "the role korvane_bench.")
                .arg(database.userName().isEmpty() ? QStringLiteral("this user") : database.userName());
        return QStringLiteral("The journal is there.");
    }
    if (mayCreateSchema(database))
        return QStringLiteral("The journal is not there yet; Korvane creates it with the first entry.");
    QStringList commands;
    for (const QString &file : schema.sourceFilesAfter(version))
        commands.append(QStringLiteral("psql -d %1 -f %2").arg(settings.database, file));
    return QStringLiteral("The journal is not there yet and this user may not create it. The database owner "
                          "runs, in Korvane's sources:\n%1")
        .arg(commands.join(QLatin1Char('\n')));
}

} // namespace

LabServerCheck LabServerCheck::run(const PostgresJournalSettings &settings)
{
    const QString name = QStringLiteral("lab-server-check-") + QUuid::createUuid().toString();
    LabServerCheck check;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        PostgresJournalConnection::configure(database, settings);
        check.connected = database.open();
        check.text = check.connected ? QStringLiteral("Connected. ") + journalText(database, settings)
                                     : QStringLiteral("Not connected: %1").arg(database.lastError().text());
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
    return check;
}
