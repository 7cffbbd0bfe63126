#pragma once

#include "journal/journal_amendment.h"
#include "journal/journal_entry.h"

#include <variant>

/// One row for the journal to write: an entry or an amendment.
using JournalWrite = std::variant<JournalEntry, JournalAmendment>;
