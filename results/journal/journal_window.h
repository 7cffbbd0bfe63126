#pragma once

#include "journal/journal_query.h"

#include <QWidget>

#include <optional>

class Dialogs;
class Journal;
class JournalListModel;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;

/// The Journal window: the journal's entries newest first, found by text, date and method,
/// opened read-only, signed, compared, and the chain verified.
class JournalWindow : public QWidget
{
    Q_OBJECT

  public:
    JournalWindow(Journal &journal, Dialogs &dialogs, QWidget *parent = nullptr);

    /// Lists the first page again, for the filters as they stand; call after new entries arrive.
    void refresh();

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
    void rebuildFromCaptureLogs();

    Journal &m_journal;
    Dialogs &m_dialogs;
    JournalListModel *m_model = nullptr;
    QTableView *m_list = nullptr;
    QLineEdit *m_search = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLineEdit *m_method = nullptr;
    QLabel *m_status = nullptr;
    std::optional<JournalCursor> m_next;
    bool m_failureReported = false;
};
