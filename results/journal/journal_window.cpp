#include "results/journal/journal_window.h"

#include "common/dialogs.h"
#include "common/os_user.h"
#include "journal/journal.h"
#include "results/capture_log.h"
#include "results/journal/capture_log_rebuild.h"
#include "results/journal/journal_comparison_dialog.h"
#include "results/journal/journal_entry_dialog.h"
#include "results/journal/journal_list_model.h"
#include "results/journal/rebuild_period_dialog.h"
#include "results/journal/signature_dialog.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QUuid>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

/// The earliest date of a date filter stands for "any day".
const QDate kAnyDay(2000, 1, 1);

QDateEdit *dateFilter(const QString &name)
{
    auto *edit = new QDateEdit;
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setMinimumDate(kAnyDay);
    edit->setSpecialValueText(QStringLiteral("any day"));
    edit->setDate(kAnyDay);
    return edit;
}

QDate chosenDay(const QDateEdit *edit)
{
    return edit->date() == kAnyDay ? QDate() : edit->date();
}

} // namespace

JournalWindow::JournalWindow(Journal &journal, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), m_journal(journal), m_dialogs(dialogs),
      m_amend([&journal](const JournalAmendment &amendment) { return journal.amend(amendment); }),
      m_model(new JournalListModel(this)),
      m_list(new QTableView), m_status(new QLabel)
{
    setObjectName(QStringLiteral("JournalWindow"));
    setWindowTitle(QStringLiteral("Journal"));
    m_list->setObjectName(QStringLiteral("JournalList"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_status->setObjectName(QStringLiteral("JournalStatus"));
    connect(m_list, &QTableView::doubleClicked, this, &JournalWindow::openSelected);
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, &JournalWindow::fetchAtEnd);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildFilters());
    layout->addWidget(m_list);
    layout->addWidget(buildButtons());
    layout->addWidget(m_status);
    resize(1000, 600);
    refresh();
}

QWidget *JournalWindow::buildFilters()
{
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("JournalSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search sample, method or result"));
    m_search->setClearButtonEnabled(true);
    m_from = dateFilter(QStringLiteral("JournalFrom"));
    m_to = dateFilter(QStringLiteral("JournalTo"));
    m_method = new QLineEdit;
    m_method->setObjectName(QStringLiteral("JournalMethod"));
    m_method->setPlaceholderText(QStringLiteral("any method"));
    connect(m_search, &QLineEdit::textChanged, this, &JournalWindow::refresh);
    m_bench = new QLineEdit;
    m_bench->setObjectName(QStringLiteral("JournalBench"));
    m_bench->setPlaceholderText(QStringLiteral("any bench"));
    connect(m_method, &QLineEdit::textChanged, this, &JournalWindow::refresh);
    connect(m_bench, &QLineEdit::textChanged, this, &JournalWindow::refresh);
    connect(m_from, &QDateEdit::dateChanged, this, &JournalWindow::refresh);
    connect(m_to, &QDateEdit::dateChanged, this, &JournalWindow::refresh);

    auto *filters = new QWidget;
    auto *layout = new QHBoxLayout(filters);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_search, 2);
    layout->addWidget(new QLabel(QStringLiteral("From:")));
    layout->addWidget(m_from);
    layout->addWidget(new QLabel(QStringLiteral("To:")));
    layout->addWidget(m_to);
    layout->addWidget(new QLabel(QStringLiteral("Method:")));
    layout->addWidget(m_method, 1);
    layout->addWidget(new QLabel(QStringLiteral("Bench:")));
    layout->addWidget(m_bench, 1);
    return filters;
}

QWidget *JournalWindow::buildButtons()
{
    struct Button
    {
        const char *caption;
        const char *name;
        std::function<void()> handler;
    };
    const QList<Button> buttons{
        {"&Open", "JournalOpen", [this] { openSelected(); }},
        {"&Review...", "JournalReview", [this] { sign(QStringLiteral("Reviewed")); }},
        {"&Approve...", "JournalApprove", [this] { sign(QStringLiteral("Approved")); }},
        {"&Compare", "JournalCompare", [this] { compareSelected(); }},
        {"&Edit...", "JournalEdit", [this] { amendSelected(&JournalEntryActions::edit); }},
        {"Re-eva&luate...", "JournalReevaluate", [this] { amendSelected(&JournalEntryActions::reevaluate); }},
        {"&Verify journal", "JournalVerify", [this] { verify(); }},
        {"Re&build from capture logs...", "JournalRebuild", [this] { rebuildFromCaptureLogs(); }},
    };
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Button &button : buttons) {
        auto *push = new QPushButton(QString::fromLatin1(button.caption));
        push->setObjectName(QString::fromLatin1(button.name));
        connect(push, &QPushButton::clicked, this, button.handler);
        layout->addWidget(push);
    }
    layout->addStretch();
    return bar;
}

JournalFilter JournalWindow::filter() const
{
    return {m_search->text().trimmed(), chosenDay(m_from), chosenDay(m_to), m_method->text().trimmed(),
            m_bench->text().trimmed()};
}

void JournalWindow::refresh()
{
    // Back at the top first: a list left at its end would otherwise fetch a page on its own, with
    // the cursor of the old filter.
    m_list->scrollToTop();
    m_next.reset();
    m_model->clear();
    loadPage(std::nullopt);
}

void JournalWindow::fetchMore()
{
    if (m_next)
        loadPage(m_next);
}

void JournalWindow::loadPage(const std::optional<JournalCursor> &after)
{
    const JournalPage page = m_journal.list(filter(), after);
    m_next = page.status.ok() ? page.next : std::nullopt;
    m_model->append(page.rows);
    showPageStatus(page.status);
}

void JournalWindow::fetchAtEnd(int scrollValue)
{
    if (scrollValue == m_list->verticalScrollBar()->maximum())
        fetchMore();
}

void JournalWindow::showPageStatus(const JournalStatus &status)
{
    if (status.ok()) {
        m_status->setText(QStringLiteral("%1 entries shown%2")
                              .arg(m_model->rowCount())
                              .arg(m_next ? QStringLiteral(", more below") : QString()));
        m_failureReported = false;
        return;
    }
    m_status->setText(QStringLiteral("The journal could not be read: %1").arg(status.message));
    // Typing in the search field lists again at every key; one box for one failure is enough.
    if (!m_failureReported)
        m_dialogs.error(this, m_status->text());
    m_failureReported = true;
}

QList<int> JournalWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void JournalWindow::openSelected()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) {
        m_dialogs.message(this, QStringLiteral("Select an entry to open."));
        return;
    }
    const std::optional<JournalEntryHistory> history = m_actions.load(this, m_model->row(rows.first()).uuid);
    if (!history)
        return;
    auto *dialog = new JournalEntryDialog(*history, m_actions, this);
    connect(dialog, &JournalEntryDialog::amended, this, &JournalWindow::entryAmended);
    dialog->show();
}

void JournalWindow::amendSelected(bool (JournalEntryActions::*action)(QWidget *, const JournalEntryHistory &))
{
    const QList<int> rows = selectedRows();
    if (rows.size() != 1) {
        m_dialogs.message(this, QStringLiteral("Select the one entry to change."));
        return;
    }
    const QString uuid = m_model->row(rows.first()).uuid;
    if (const std::optional<JournalEntryHistory> history = m_actions.load(this, uuid);
        history && (m_actions.*action)(this, *history))
        entryAmended(uuid);
}

// The list and every open view of the entry show what was written.
void JournalWindow::entryAmended(const QString &entryUuid)
{
    refresh();
    for (JournalEntryDialog *dialog : findChildren<JournalEntryDialog *>()) {
        if (dialog->entryUuid() == entryUuid)
            dialog->reload();
    }
}

void JournalWindow::sign(const QString &meaning)
{
    const QList<int> rows = selectedRows();
    if (rows.size() != 1) {
        m_dialogs.message(this, QStringLiteral("Select the one entry to sign."));
        return;
    }
    const JournalListRow row = m_model->row(rows.first());
    SignatureDialog dialog(meaning, row.current.sampleId, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    JournalAmendment signature;
    signature.kind = JournalAmendment::Kind::Signature;
    signature.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    signature.entryUuid = row.uuid;
    signature.user = osUser();
    signature.bench = row.bench;
    signature.time = QDateTime::currentDateTimeUtc();
    signature.meaning = dialog.request().meaning;
    signature.comment = dialog.request().comment;
    const JournalStatus status = m_amend(signature);
    if (!status.ok()) {
        m_dialogs.error(this, QStringLiteral("The signature was not recorded: %1").arg(status.message));
        return;
    }
    entryAmended(row.uuid);
}

void JournalWindow::compareSelected()
{
    const QList<int> rows = selectedRows();
    if (rows.size() < 2) {
        m_dialogs.message(this, QStringLiteral("Select two or more entries to compare."));
        return;
    }
    QList<JournalEntryHistory> histories;
    for (int row : rows) {
        JournalStatus status;
        const std::optional<JournalEntryHistory> history = m_journal.load(m_model->row(row).uuid, &status);
        if (!history) {
            m_dialogs.error(this, QStringLiteral("An entry could not be read: %1").arg(status.message));
            return;
        }
        histories.append(*history);
    }
    (new JournalComparisonDialog(histories, this))->show();
}

void JournalWindow::verify()
{
    const JournalVerification verification = m_journal.verify();
    if (!verification.status.ok()) {
        m_dialogs.error(this, QStringLiteral("The journal could not be verified: %1").arg(verification.status.message));
    } else if (verification.intact()) {
        m_dialogs.message(
            this, QStringLiteral("Journal verified: %1 rows, the chain is whole.").arg(verification.rowsChecked));
    } else {
        m_dialogs.error(this, QStringLiteral("Journal row %1 no longer matches: %2")
                                  .arg(verification.firstBadSeq)
                                  .arg(verification.reason));
    }
}

void JournalWindow::rebuildFromCaptureLogs()
{
    RebuildPeriodDialog dialog(QDate::currentDate(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const RebuildPeriod period = dialog.period();
    const CaptureLogRebuildResult result =
        CaptureLogRebuild(m_journal, CaptureLog::defaultFolder()).run(period.from, period.to);
    if (!result.status.ok()) {
        m_dialogs.error(this, QStringLiteral("The journal was not rebuilt: %1").arg(result.status.message));
        return;
    }
    QString text = QStringLiteral("%1 entries added, %2 already present").arg(result.added).arg(result.present);
    if (result.unfinished > 0)
        text += QStringLiteral(", %1 left out: the capture log ends inside its table").arg(result.unfinished);
    m_dialogs.message(this, text + QLatin1Char('.'));
    refresh();
}
