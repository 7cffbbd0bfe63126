#pragma once

#include <QString>

/// The outcome of a journal call; a failure keeps its reason for the user.
struct JournalStatus
{
    enum class Code
    {
        Ok,
        NotWritable, ///< the file or server refused the write (disk full, read-only, I/O error)
        Locked,      ///< another writer held the journal longer than the busy time-out
        Unreachable, ///< the server could not be reached or refused the credentials
        Damaged,     ///< the database is not readable as a journal
        NotFound,    ///< the entry an amendment points at is not in the journal
        Refused,     ///< the server's rules refused the row
    };

    Code code = Code::Ok;
    QString message;

    bool ok() const { return code == Code::Ok; }
    /// Worth another attempt later: the same row may be written once the cause is gone.
    bool retryable() const { return code == Code::NotWritable || code == Code::Locked || code == Code::Unreachable; }
};
