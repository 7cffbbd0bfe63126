#pragma once

#include "journal/journal_history.h"

#include <QDialog>

/// One journal entry, read-only: its table, results, received text, history and signatures.
class JournalEntryDialog : public QDialog
{
    Q_OBJECT

  public:
    explicit JournalEntryDialog(const JournalEntryHistory &history, QWidget *parent = nullptr);

    /// The amendments as lines of time, user, kind and what each said.
    static QString historyText(const JournalEntryHistory &history);
    static QString signaturesText(const JournalEntryHistory &history);
};
