#include "results/journal/journal_entry_actions.h"

#include "common/dialogs.h"
#include "common/os_user.h"
#include "journal/journal.h"
#include "results/journal/journal_edit_dialog.h"
#include "results/journal/journal_record.h"
#include "results/journal/reevaluation_dialog.h"
#include "results/result_files.h"

#include <QFileInfo>
#include <QUuid>

#include <cmath>

namespace {

// The weight field shows four decimals; a weight it shows unchanged was not corrected.
bool sameWeight(double a, double b)
{
    return std::llround(a * 1e4) == std::llround(b * 1e4);
}

} // namespace

JournalEntryActions::JournalEntryActions(Journal &journal, Dialogs &dialogs, const JournalAmendmentWriter &write)
    : m_journal(journal), m_dialogs(dialogs), m_write(write)
{
}

std::optional<JournalEntryHistory> JournalEntryActions::load(QWidget *parent, const QString &entryUuid) const
{
    JournalStatus status;
    std::optional<JournalEntryHistory> history = m_journal.load(entryUuid, &status);
    if (!history)
        m_dialogs.error(parent, QStringLiteral("The entry could not be read: %1").arg(status.message));
    return history;
}

bool JournalEntryActions::edit(QWidget *parent, const JournalEntryHistory &history)
{
    JournalEditDialog dialog(history.current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const JournalEditRequest request = dialog.request();
    JournalAmendment amendment;
    amendment.kind = JournalAmendment::Kind::Edit;
    if (!sameWeight(request.sampleWeight, history.current.sampleWeight))
        amendment.sampleWeight = request.sampleWeight;
    if (request.sampleId != history.current.sampleId)
        amendment.sampleId = request.sampleId;
    amendment.note = request.note;
    if (!amendment.sampleWeight && !amendment.sampleId && amendment.note.isEmpty()) {
        m_dialogs.message(parent, QStringLiteral("Nothing was changed; the journal stays as it was."));
        return false;
    }
    return write(parent, amendment, history);
}

bool JournalEntryActions::reevaluate(QWidget *parent, const JournalEntryHistory &history)
{
    const QList<TitrationSample> samples = titrationSamples(entryDataRows(history.entry));
    ReevaluationDialog dialog(samples, entryUnit(history.entry), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const EquivalenceSettings settings = dialog.settings();
    JournalAmendment amendment;
    amendment.kind = JournalAmendment::Kind::Reevaluation;
    amendment.equivalencePoints = findEquivalencePoints(samples, settings);
    amendment.settings = settings.text();
    return write(parent, amendment, history);
}

QString JournalEntryActions::saveCsv(QWidget *parent, const JournalEntryHistory &history)
{
    return files(parent).saveCsv(journalRecord(history, QDateTime::currentDateTime()));
}

QString JournalEntryActions::saveXlsx(QWidget *parent, const JournalEntryHistory &history)
{
    return files(parent).saveXlsx(journalRecord(history, QDateTime::currentDateTime()));
}

QString JournalEntryActions::exportReport(QWidget *parent, const JournalEntryHistory &history)
{
    return files(parent).exportReport(journalRecord(history, QDateTime::currentDateTime()));
}

bool JournalEntryActions::write(QWidget *parent, JournalAmendment amendment, const JournalEntryHistory &history)
{
    amendment.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    amendment.entryUuid = history.entry.uuid;
    amendment.user = osUser();
    amendment.bench = history.entry.bench;
    amendment.time = QDateTime::currentDateTimeUtc();
    const JournalStatus status = m_write(amendment);
    if (!status.ok())
        m_dialogs.error(parent, QStringLiteral("The change was not recorded: %1").arg(status.message));
    return status.ok();
}

ResultFiles JournalEntryActions::files(QWidget *parent)
{
    return ResultFiles(m_dialogs, parent, [this, parent](const QString &fileName) {
        return !QFileInfo::exists(fileName) || m_dialogs.question(parent, QStringLiteral("File exists. Overwrite?"));
    });
}
