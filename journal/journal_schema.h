#pragma once

#include "journal/journal_status.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>


/// The journal's schema as numbered scripts (":/journal/sql/<dialect>/NNN.sql"); each script is
/// applied once, in its own transaction, and noted in journal_schema_version. A statement ends
/// with a semicolon at the end of a line followed by a blank line, so bodies of triggers and
/// functions stay whole.
class JournalSchema
{
  public:
    explicit JournalSchema(QString dialect);

    /// The schema version this program writes.
    int latestVersion() const;
    /// The version the database has; 0 for a new one, -1 when it cannot be read.
    static int versionOf(QSqlDatabase &database);
    /// Applies the scripts the database lacks; the error text says which failed and why.
    bool migrate(QSqlDatabase &database, QString *error) const;
    /// The scripts after the given version as files of Korvane's sources, for a database owner
    /// who runs them by hand: "journal/sql/postgres/001.sql".
    QStringList sourceFilesAfter(int version) const;

  private:
    QString scriptPath(int version) const;

    QString m_dialect;
};
