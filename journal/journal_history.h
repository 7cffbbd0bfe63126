#pragma once

#include "journal/journal_amendment.h"
#include "journal/journal_current_values.h"
#include "journal/journal_entry.h"

#include <QList>

/// One entry with everything written about it since, for reading.
struct JournalEntryHistory
{
    JournalEntry entry;                 ///< as it was written; never changed
    QString entrySha256;
    QList<JournalAmendment> amendments; ///< in the order they were written
    JournalCurrentValues current;
};
