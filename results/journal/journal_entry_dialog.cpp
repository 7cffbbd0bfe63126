#include "results/journal/journal_entry_dialog.h"

#include "common/cp1252.h"
#include "controls/fonts.h"
#include "curve/curve_view.h"
#include "curve/equivalence_markers.h"
#include "results/journal/journal_entry_actions.h"
#include "journal/journal_codec.h"
#include "results/journal/journal_list_model.h"
#include "results/journal/journal_record.h"

#include <QDialogButtonBox>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *textPage(const QString &text, const QString &name)
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

// The entry's summary above the titrator's own results: its current values.
QString summaryText(const JournalEntryHistory &history)
{
    const JournalEntry &entry = history.entry;
    return QStringLiteral("Sample: %1\nWeight: %2\nMethod: %3 (slot %4)\nMode codes: %10\nRun start: %5\n"
                          "State: %6\nEquivalence points: %7\nUser: %8\nBench: %9\n%11\n")
        .arg(history.current.sampleId)
        .arg(history.current.sampleWeight)
        .arg(entry.methodName)
        .arg(entry.methodSlot)
        .arg(journalTimeText(entry.runStart), JournalListModel::stateText(history.current),
             pointsText(history.current.equivalencePoints), entry.osUser, entry.bench,
             JournalCodec::modeCodesText(entry.modeCodes),
             entry.note.isEmpty() ? QString() : QStringLiteral("Note: %1\n").arg(entry.note));
}

// The curve as the main window's Curve page draws it, with the entry's current points marked.
CurveView::Paint curvePaint(const JournalEntryHistory &history)
{
    const CurveColumns columns = entryCurve(history.entry);
    const SignalUnit unit = entryUnit(history.entry);
    const QList<EquivalencePoint> points = history.current.equivalencePoints;
    return [=](QPainter &painter, const QSize &size) {
        if (drawMarkedCurve(painter, size, columns, points, unit, QLocale(), fonts::lucidaConsole()) ==
            CurveOutcome::DivisionByZero)
            painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter,
                             QStringLiteral("No curve: a column of the table has no value above 0."));
    };
}

} // namespace

JournalEntryDialog::JournalEntryDialog(const JournalEntryHistory &history, JournalEntryActions &actions,
                                       QWidget *parent)
    : QDialog(parent), m_history(history), m_actions(actions), m_curve(new CurveView({})),
      m_results(textPage({}, QStringLiteral("JournalEntryResults"))),
      m_amendments(textPage({}, QStringLiteral("JournalEntryHistory"))),
      m_signatures(textPage({}, QStringLiteral("JournalEntrySignatures")))
{
    setObjectName(QStringLiteral("JournalEntry"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_curve->setObjectName(QStringLiteral("JournalEntryCurve"));
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("JournalEntryTabs"));
    tabs->addTab(m_curve, QStringLiteral("Curve"));
    tabs->addTab(tablePage(history.entry.table), QStringLiteral("Table"));
    tabs->addTab(m_results, QStringLiteral("Results"));
    tabs->addTab(textPage(cp1252::decode(history.entry.received), QStringLiteral("JournalEntryReceived")),
                 QStringLiteral("Received"));
    tabs->addTab(m_amendments, QStringLiteral("History"));
    tabs->addTab(m_signatures, QStringLiteral("Signatures"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buildButtons());
    resize(760, 560);
    showHistory(history);
}

QWidget *JournalEntryDialog::buildButtons()
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    const auto add = [this, buttons](const QString &caption, const QString &name, auto handler) {
        QPushButton *button = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
    };
    add(QStringLiteral("&Edit..."), QStringLiteral("JournalEntryEdit"),
        [this] { amendWith(&JournalEntryActions::edit); });
    add(QStringLiteral("Re-eva&luate..."), QStringLiteral("JournalEntryReevaluate"),
        [this] { amendWith(&JournalEntryActions::reevaluate); });
    add(QStringLiteral("&Report..."), QStringLiteral("JournalEntryReport"),
        [this] { m_actions.exportReport(this, m_history); });
    add(QStringLiteral("Save as &CSV..."), QStringLiteral("JournalEntryCsv"),
        [this] { m_actions.saveCsv(this, m_history); });
    add(QStringLiteral("Save as &XLSX..."), QStringLiteral("JournalEntryXlsx"),
        [this] { m_actions.saveXlsx(this, m_history); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

void JournalEntryDialog::reload()
{
    if (const std::optional<JournalEntryHistory> history = m_actions.load(this, entryUuid()))
        showHistory(*history);
}

void JournalEntryDialog::showHistory(const JournalEntryHistory &history)
{
    m_history = history;
    setWindowTitle(QStringLiteral("Journal entry: %1").arg(history.current.sampleId));
    m_curve->setPaint(curvePaint(history));
    m_results->setPlainText(summaryText(history) + history.entry.resultsBlock);
    m_amendments->setPlainText(historyText(history));
    m_signatures->setPlainText(signaturesText(history));
}

void JournalEntryDialog::amendWith(bool (JournalEntryActions::*action)(QWidget *, const JournalEntryHistory &))
{
    if (!(m_actions.*action)(this, m_history))
        return;
    reload();
    emit amended(entryUuid());
}

QString JournalEntryDialog::historyText(const JournalEntryHistory &history)
{
    QStringList lines{QStringLiteral("%1  %2  written (%3)")
                          .arg(journalTimeText(history.entry.lastByte), history.entry.osUser,
                               JournalListModel::stateText(JournalCurrentValues(history.entry, history.entrySha256)))};
    for (const JournalAmendment &amendment : history.amendments)
        lines.append(QStringLiteral("%1  %2  %3")
                         .arg(journalTimeText(amendment.time), amendment.user, amendmentText(amendment)));
    return lines.join(QLatin1Char('\n'));
}

QString JournalEntryDialog::signaturesText(const JournalEntryHistory &history)
{
    QStringList lines;
    for (const JournalSignatureState &signature : history.current.signatures)
        lines.append(signatureLine(signature));
    return lines.isEmpty() ? QStringLiteral("Not signed.") : lines.join(QLatin1Char('\n'));
}
