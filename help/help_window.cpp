#include "help/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int idRole = Qt::UserRole;

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_search(new QLineEdit), m_contents(new QListWidget), m_browser(new QTextBrowser)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Korvane Help"));
    resize(900, 640);

    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search the manual"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("Search"));
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setAccessibleName(QStringLiteral("Contents"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setAccessibleName(QStringLiteral("Help page"));
    m_browser->setOpenExternalLinks(true);

    auto *searchLabel = new QLabel(QStringLiteral("&Search:"));
    searchLabel->setBuddy(m_search);
    auto *side = new QWidget;
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(searchLabel);
    sideLayout->addWidget(m_search);
    sideLayout->addWidget(m_contents);
    auto *splitter = new QSplitter;
    splitter->addWidget(side);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 600});
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, m_search, qOverload<>(&QWidget::setFocus));
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(m_contents, &QListWidget::itemActivated, this, &HelpWindow::pageChosen);
    connect(m_contents, &QListWidget::itemClicked, this, &HelpWindow::pageChosen);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageShown);

    search(QString());
    showPage(HelpIndex::contentsId);
}

HelpWindow *HelpWindow::open(const QString &pageId)
{
    static QPointer<HelpWindow> window;
    // A window of a modal dialog's own is not blocked by it; any other would be.
    QWidget *modal = QApplication::activeModalWidget();
    if (!window) {
        window = new HelpWindow(modal);
        connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    } else if (window->parentWidget() != modal) {
        window->setParent(modal, Qt::Window);
    }
    window->showPage(pageId);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpWindow::addHelpKey(QWidget *window, const QString &pageId)
{
    auto *key = new QShortcut(QKeySequence::HelpContents, window);
    connect(key, &QShortcut::activated, window, [pageId] { open(pageId); });
}

void HelpWindow::showPage(const QString &pageId)
{
    m_browser->setSource(HelpIndex::url(pageId));
}

QString HelpWindow::currentPage() const
{
    return HelpIndex::pageId(m_browser->source());
}

void HelpWindow::search(const QString &query)
{
    if (query.trimmed().isEmpty()) {
        QStringList all;
        for (const HelpIndex::Page &page : m_index.pages())
            all << page.id;
        listPages(all);
        return;
    }
    listPages(m_index.search(query));
}

void HelpWindow::listPages(const QStringList &ids)
{
    m_contents->clear();
    for (const QString &id : ids) {
        const auto page = std::find_if(m_index.pages().cbegin(), m_index.pages().cend(),
                                       [&id](const HelpIndex::Page &p) { return p.id == id; });
        auto *item = new QListWidgetItem(page->title, m_contents);
        item->setData(idRole, id);
    }
    pageShown(m_browser->source());
}

void HelpWindow::pageChosen(QListWidgetItem *item)
{
    showPage(item->data(idRole).toString());
    // Found by a search: show where the first word stands.
    const QString firstWord = m_search->text().simplified().section(QLatin1Char(' '), 0, 0);
    if (!firstWord.isEmpty())
        m_browser->find(firstWord);
}

void HelpWindow::pageShown(const QUrl &url)
{
    const QString id = HelpIndex::pageId(url);
    for (int row = 0; row < m_contents->count(); ++row) {
        if (m_contents->item(row)->data(idRole).toString() == id) {
            QSignalBlocker quiet(m_contents);
            m_contents->setCurrentRow(row);
            return;
        }
    }
}
