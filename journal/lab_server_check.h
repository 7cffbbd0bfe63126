#pragma once

#include "journal/postgres_journal_connection.h"

#include <QString>

/// What "Test connection" finds: whether the server lets this user in, and whether the journal
/// is there, may be created by this user, or needs its owner to run the schema scripts. Changes
/// nothing on the server.
struct LabServerCheck
{
    bool connected = false;
    QString text; ///< for the user: the server's reason, or what the journal needs

    static LabServerCheck run(const PostgresJournalSettings &settings);
};
