#include "results/journal/journal_recorder.h"

#include "common/cp1252.h"
#include "journal/sqlite_journal_connection.h"
#include "method/method_folder.h"
#include "method/method_settings.h"
#include "method/mode_code.h"
#include "results/result_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {

/// The weight as typed in the run dialog, with a point or the user's decimal comma; 0 when none.
double weightOf(const QString &text)
{
    bool ok = false;
    const double weight = text.trimmed().toDouble(&ok);
    return ok ? weight : QLocale().toDouble(text.trimmed());
}

JournalEntry::State stateOf(const ResultRecord &record)
{
    if (record.aborted())
        return JournalEntry::State::Aborted;
    return record.edited() ? JournalEntry::State::Edited : JournalEntry::State::Complete;
}

JournalEntry entryOf(const ResultRecord &record, const QString &lineSettings)
{
    JournalEntry entry;
    entry.table = record.table;
    entry.equivalencePoints = record.points;
    if (record.received) {
        entry.received = record.received->bytes;
        entry.resultsBlock = cp1252::decode(record.received->resultsBlock());
        entry.firstByte = record.received->firstByte;
        entry.lastByte = record.received->lastByte;
    }
    if (record.run) {
        entry.sampleWeight = weightOf(record.run->entry.weight);
        entry.sampleId = record.run->entry.identification;
        entry.runStart = record.run->started;
    }
    const MethodFolder methods;
    const int slot = methods.rememberedSlot();
    if (slot >= 0) {
        entry.methodSlot = slot;
        entry.methodName = methods.slotName(slot);
        // A slot without a method file has no codes to tell: they stay at zero.
        MethodSettings method;
        if (QFileInfo::exists(methods.slotFile(slot).path()) && method.IniFileLoadPreview(methods, slot))
            entry.modeCodes = ModeCode::allOf(method);
    }
    entry.lineSettings = lineSettings;
    entry.programVersion = QCoreApplication::applicationVersion();
    entry.osUser = JournalRecorder::osUser();
    entry.state = stateOf(record);
    return entry;
}

} // namespace

QString JournalRecorder::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("journal.sqlite"));
}

QString JournalRecorder::osUser()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    const passwd *account = getpwuid(getuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString();
}

JournalRecorder::JournalRecorder(const QString &path)
    : m_path(path), m_journal(std::make_unique<SqliteJournalConnection>(path))
{
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, &m_retry, [this] { retry(); });
}

QString JournalRecorder::record(const ResultRecord &record, const QString &lineSettings)
{
    m_spool.submit(entryOf(record, lineSettings));
    const JournalStatus status = retry();
    return status.ok() ? QString() : status.message;
}

QString JournalRecorder::takeKeptAside()
{
    if (m_keptAsideTold || m_journal.keptAside().isEmpty())
        return {};
    m_keptAsideTold = true;
    return m_journal.keptAside();
}

Journal *JournalRecorder::journal()
{
    retry();
    return m_open ? &m_journal : nullptr;
}

// Opens the journal when it is not open yet (its folder may have become writable since), then
// writes what waits.
JournalStatus JournalRecorder::retry()
{
    JournalStatus status;
    if (!m_open) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        status = m_journal.open();
        m_open = status.ok();
    }
    if (m_open)
        status = m_spool.retry();
    if (status.ok())
        m_retry.stop();
    else if (!m_retry.isActive())
        m_retry.start();
    return status;
}
