#pragma once

#include "journal/journal_history.h"
#include "journal/journal_status.h"

#include <QString>

#include <functional>
#include <optional>

class Dialogs;
class Journal;
class QWidget;
class ResultFiles;
struct JournalAmendment;

/// Where amendments go: the journal shown, or the lab server with the bench's journal as outbox.
using JournalAmendmentWriter = std::function<JournalStatus(const JournalAmendment &)>;

/// What can be done with one journal entry from the Journal's windows: correct it or find its
/// equivalence points again, each written as an amendment beside the entry, and write its files as
/// the main window writes a record's. Dialogs are modal over the parent given.
class JournalEntryActions
{
  public:
    /// Amendments are written through `write`, which may change while the actions live.
    JournalEntryActions(Journal &journal, Dialogs &dialogs, const JournalAmendmentWriter &write);

    /// The entry with its amendments; nothing, after an error box, when it cannot be read.
    std::optional<JournalEntryHistory> load(QWidget *parent, const QString &entryUuid) const;

    // Each asks its dialog and returns true when an amendment was written.
    bool edit(QWidget *parent, const JournalEntryHistory &history);
    bool reevaluate(QWidget *parent, const JournalEntryHistory &history);

    // Each returns the file written, or an empty text when nothing was written.
    QString saveCsv(QWidget *parent, const JournalEntryHistory &history);
    QString saveXlsx(QWidget *parent, const JournalEntryHistory &history);
    QString exportReport(QWidget *parent, const JournalEntryHistory &history);

  private:
    bool write(QWidget *parent, JournalAmendment amendment, const JournalEntryHistory &history);
    /// The result files, asking before a file is overwritten.
    ResultFiles files(QWidget *parent);

    Journal &m_journal;
    Dialogs &m_dialogs;
    const JournalAmendmentWriter &m_write;
};
