#include "results/journal/journal_entry_dialog.h"

#include "common/cp1252.h"
#include "journal/journal_codec.h"
#include "results/journal/journal_list_model.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QWidget *textPage(const QString &text, const QString &name)
{
    auto *page = new QPlainTextEdit(text);
    page->setObjectName(name);
    page->setReadOnly(true);
    page->setLineWrapMode(QPlainTextEdit::NoWrap);
    return page;
}

QWidget *tablePage(const QList<QStringList> &rows)
{
    int columns = 0;
    for (const QStringList &row : rows)
        columns = std::max(columns, int(row.size()));
    auto *table = new QTableWidget(int(rows.size()), columns);
    table->setObjectName(QStringLiteral("JournalEntryTable"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(rows[row][column]));
    }
    return table;
}

QString timeText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString pointsText(const QList<EquivalencePoint> &points)
{
    QStringList texts;
    for (const EquivalencePoint &point : points)
        texts.append(QStringLiteral("%1 ml / %2").arg(point.volume, 0, 'f', 3).arg(point.signal));
    return texts.isEmpty() ? QStringLiteral("none") : texts.join(QStringLiteral(", "));
}

QString amendmentText(const JournalAmendment &amendment)
{
    switch (amendment.kind) {
    case JournalAmendment::Kind::Edit: {
        QStringList changes;
        if (amendment.sampleWeight)
            changes.append(QStringLiteral("weight %1").arg(*amendment.sampleWeight));
        if (amendment.sampleId)
            changes.append(QStringLiteral("sample \"%1\"").arg(*amendment.sampleId));
        if (!amendment.note.isEmpty())
            changes.append(QStringLiteral("note \"%1\"").arg(amendment.note));
        return QStringLiteral("Edit: ") + changes.join(QStringLiteral(", "));
    }
    case JournalAmendment::Kind::Reevaluation:
        return QStringLiteral("Re-evaluation (%1): %2")
            .arg(amendment.settings, pointsText(amendment.equivalencePoints));
    case JournalAmendment::Kind::Signature:
        return QStringLiteral("Signature: %1%2")
            .arg(amendment.meaning,
                 amendment.comment.isEmpty() ? QString() : QStringLiteral(" - ") + amendment.comment);
    case JournalAmendment::Kind::Invalidation:
        return QStringLiteral("Invalidation: ") + amendment.note;
    }
    return {};
}

} // namespace

JournalEntryDialog::JournalEntryDialog(const JournalEntryHistory &history, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("JournalEntry"));
    setWindowTitle(QStringLiteral("Journal entry: %1").arg(history.current.sampleId));
    setAttribute(Qt::WA_DeleteOnClose);
    const JournalEntry &entry = history.entry;
    const QString summary = QStringLiteral("Sample: %1\nWeight: %2\nMethod: %3 (slot %4)\nMode codes: %10\n"
                                           "Run start: %5\nState: %6\nEquivalence points: %7\nUser: %8\nBench: %9\n%11\n")
                                .arg(history.current.sampleId)
                                .arg(history.current.sampleWeight)
                                .arg(entry.methodName)
                                .arg(entry.methodSlot)
                                .arg(timeText(entry.runStart), JournalListModel::stateText(history.current),
                                     pointsText(history.current.equivalencePoints), entry.osUser, entry.bench,
                                     JournalCodec::modeCodesText(entry.modeCodes),
                                     entry.note.isEmpty() ? QString() : QStringLiteral("Note: %1\n").arg(entry.note));

    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("JournalEntryTabs"));
    tabs->addTab(tablePage(entry.table), QStringLiteral("Table"));
    tabs->addTab(textPage(summary + entry.resultsBlock, QStringLiteral("JournalEntryResults")),
                 QStringLiteral("Results"));
    tabs->addTab(textPage(cp1252::decode(entry.received), QStringLiteral("JournalEntryReceived")),
                 QStringLiteral("Received"));
    tabs->addTab(textPage(historyText(history), QStringLiteral("JournalEntryHistory")), QStringLiteral("History"));
    tabs->addTab(textPage(signaturesText(history), QStringLiteral("JournalEntrySignatures")),
                 QStringLiteral("Signatures"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(720, 520);
}

QString JournalEntryDialog::historyText(const JournalEntryHistory &history)
{
    QStringList lines{QStringLiteral("%1  %2  written (%3)")
                          .arg(timeText(history.entry.lastByte), history.entry.osUser,
                               JournalListModel::stateText(JournalCurrentValues(history.entry, history.entrySha256)))};
    for (const JournalAmendment &amendment : history.amendments)
        lines.append(
            QStringLiteral("%1  %2  %3").arg(timeText(amendment.time), amendment.user, amendmentText(amendment)));
    return lines.join(QLatin1Char('\n'));
}

QString JournalEntryDialog::signaturesText(const JournalEntryHistory &history)
{
    QStringList lines;
    for (const JournalSignatureState &signature : history.current.signatures) {
        lines.append(QStringLiteral("%1 by %2 at %3%4: %5")
                         .arg(signature.meaning, signature.user, timeText(signature.time),
                              signature.comment.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(signature.comment),
                              signature.coversCurrent ? QStringLiteral("covers the current values")
                                                      : QStringLiteral("no longer covers the current values")));
    }
    return lines.isEmpty() ? QStringLiteral("Not signed.") : lines.join(QLatin1Char('\n'));
}
