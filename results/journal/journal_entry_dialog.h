#pragma once

#include "journal/journal_history.h"

#include <QDialog>

class CurveView;
class JournalEntryActions;
class QPlainTextEdit;

/// One journal entry, read-only: its curve, table, results, received text, history and
/// signatures, with its current values. From here the entry is corrected or re-evaluated (as
/// amendments) and written as a report, a CSV file or an XLSX workbook.
class JournalEntryDialog : public QDialog
{
    Q_OBJECT

  public:
    JournalEntryDialog(const JournalEntryHistory &history, JournalEntryActions &actions, QWidget *parent = nullptr);

    QString entryUuid() const { return m_history.entry.uuid; }
    /// Reads the entry again and shows what was written about it since.
    void reload();

    /// The amendments as lines of time, user, kind and what each said.
    static QString historyText(const JournalEntryHistory &history);
    static QString signaturesText(const JournalEntryHistory &history);

  signals:
    /// An amendment of this entry was written from here.
    void amended(const QString &entryUuid);

  private:
    QWidget *buildButtons();
    void showHistory(const JournalEntryHistory &history);
    void amendWith(bool (JournalEntryActions::*action)(QWidget *, const JournalEntryHistory &));

    JournalEntryHistory m_history;
    JournalEntryActions &m_actions;
    CurveView *m_curve = nullptr;
    QPlainTextEdit *m_results = nullptr;
    QPlainTextEdit *m_amendments = nullptr;
    QPlainTextEdit *m_signatures = nullptr;
};
