#pragma once

#include "journal/journal_query.h"
#include "results/journal/journal_entry_actions.h"

#include <QWidget>

#include <functional>
#include <optional>

class Dialogs;
class Journal;
struct JournalAmendment;
class JournalListModel;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;

/// The Journal window: the journal's entries newest first, found by text, date, method and bench,
/// opened read-only, corrected, re-evaluated, signed, compared, and the chain verified.
class JournalWindow : public QWidget
{
    Q_OBJECT

  public:
    JournalWindow(Journal &journal, Dialogs &dialogs, QWidget *parent = nullptr);

    /// Lists the first page again, for the filters as they stand; call after new entries arrive.
    void refresh();

    /// Where signatures, corrections and re-evaluations go; by default the journal shown. A lab
    /// bench keeps them for a server away.
    void setAmendmentWriter(JournalAmendmentWriter write) { m_amend = std::move(write); }

  private:
    QWidget *buildFilters();
    QWidget *buildButtons();
    JournalFilter filter() const;
    void fetchMore();
    void loadPage(const std::optional<JournalCursor> &after);
    void fetchAtEnd(int scrollValue);
    void showPageStatus(const JournalStatus &status);
    QList<int> selectedRows() const;
    void openSelected();
    void amendSelected(bool (JournalEntryActions::*action)(QWidget *, const JournalEntryHistory &));
    void entryAmended(const QString &entryUuid);
    void sign(const QString &meaning);
    void compareSelected();
    void verify();
    void rebuildFromCaptureLogs();

    Journal &m_journal;
    Dialogs &m_dialogs;
    JournalAmendmentWriter m_amend;
    JournalEntryActions m_actions{m_journal, m_dialogs, m_amend};
    JournalListModel *m_model = nullptr;
    QTableView *m_list = nullptr;
    QLineEdit *m_search = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLineEdit *m_method = nullptr;
    QLineEdit *m_bench = nullptr;
    QLabel *m_status = nullptr;
    std::optional<JournalCursor> m_next;
    bool m_failureReported = false;
};
