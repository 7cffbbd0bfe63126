#pragma once

#include "journal/journal_status.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

/// The journal's schema as numbered scripts (":/journal/sql/<dialect>/NNN.sql"); each script is
/// applied once, in its own transaction, and noted in journal_schema_version.
class JournalSchema
{
  public:
    using Execute = std::function<bool(QSqlDatabase &, const QString &script)>;

    JournalSchema(QString dialect, Execute execute);

    /// The schema version this program writes.
    int latestVersion() const;
    /// The version the database has; 0 for a new one, -1 when it cannot be read.
    static int versionOf(QSqlDatabase &database);
    /// Applies the scripts the database lacks; the error text says which failed and why.
    bool migrate(QSqlDatabase &database, QString *error) const;

  private:
    QString scriptPath(int version) const;

    QString m_dialect;
    Execute m_execute;
};
