#pragma once

#include "help/help_index.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;

/// The user manual: a contents list that a search field narrows to the pages holding its
/// words, beside the page itself.
class HelpWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget *parent = nullptr);

    /// Opens the program's one help window at a page ("commands", "method-setup#upload"), in
    /// front and usable also while a modal dialog is open.
    static HelpWindow *open(const QString &pageId);
    /// F1 (the desktop's help key) in the window or any of its controls opens the page. Not for
    /// a window whose menu already carries that key: the two would cancel each other out.
    static void addHelpKey(QWidget *window, const QString &pageId);

    void showPage(const QString &pageId);
    /// The id of the page shown, without a place in it.
    QString currentPage() const;

  private:
    void search(const QString &query);
    void listPages(const QStringList &ids);
    void pageChosen(QListWidgetItem *item);
    void pageShown(const QUrl &url);

    HelpIndex m_index;
    QLineEdit *m_search = nullptr;
    QListWidget *m_contents = nullptr;
    QTextBrowser *m_browser = nullptr;
};
