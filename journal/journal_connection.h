#pragma once

#include "journal/journal_status.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;

/// What differs between the databases a journal can live in; everything else is the same SQL.
class JournalConnection
{
  public:
    virtual ~JournalConnection() = default;

    /// Opens the database and brings its schema up to date.
    virtual JournalStatus open() = 0;
    virtual QSqlDatabase database() const = 0;
    /// Before each call: connects again when the connection was lost since.
    virtual JournalStatus ready() { return {}; }
    /// Starts a write transaction in which no other writer can append until it ends, so the
    /// row read as the chain's last stays the last.
    virtual JournalStatus beginWrite() = 0;
    /// The condition that a column contains a text, with one placeholder for containsValue(text).
    virtual QString containsCondition(const QString &column) const = 0;
    virtual QString containsValue(const QString &text) const { return text; }
    virtual JournalStatus statusOf(const QSqlError &error) const = 0;
    /// Where a damaged journal was kept aside when open() started a new one; empty otherwise.
    virtual QString keptAside() const { return {}; }
};
