#pragma once

#include "journal/journal_query.h"

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
/// opened read-only, signed, compared, and the chain verified.
class JournalWindow : public QWidget
{
    Q_OBJECT

  public:
    JournalWindow(Journal &journal, Dialogs &dialogs, QWidget *parent = nullptr);

    /// Lists the first page again, for the filters as they stand; call after new entries arrive.
    void refresh();

    using AmendmentWriter = std::function<JournalStatus(const JournalAmendment &)>;
    /// Where signatures go; by default the journal shown. A lab bench keeps them for a server away.
    void setAmendmentWriter(AmendmentWriter write) { m_amend = std::move(write); }

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
    void sign(const QString &meaning);
    void compareSelected();
    void verify();

    Journal &m_journal;
    Dialogs &m_dialogs;
    AmendmentWriter m_amend;
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
