#pragma once

#include "journal/postgres_journal_connection.h"

#include <QString>

/// Whether this bench keeps its journal on the lab's server, where that server is, and the
/// bench's name there. Kept in a small INI file of the user's configuration folder. There is no
/// password field on purpose: libpq takes it from ~/.pgpass or PGPASSWORD.
struct LabServerSettings
{
    bool enabled = false; ///< false: the bench's own journal only
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString bench; ///< empty stands for the computer's host name

    /// A wait for the server that the window thread can afford.
    static constexpr int ConnectTimeoutSeconds = 2;

    /// lab-server.ini in the user's configuration folder (~/.config/Korvane/ on Linux).
    static QString defaultPath();
    /// The file's settings; a missing or unreadable file gives the bench's own journal.
    static LabServerSettings load(const QString &path = defaultPath());
    /// Empty when written, else why not.
    QString save(const QString &path = defaultPath()) const;

    /// The bench's name in the journal: as set, else the host name.
    QString benchName() const;
    /// What is missing before the server can be used; empty when nothing is.
    QString incomplete() const;
    PostgresJournalSettings connection() const;
};
