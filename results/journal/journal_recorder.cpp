#include "results/journal/journal_recorder.h"

#include "common/cp1252.h"
#include "common/os_user.h"
#include "journal/lab_journal.h"
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
#include <QUuid>

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
    entry.osUser = osUser();
    entry.state = stateOf(record);
    return entry;
}

} // namespace

QString JournalRecorder::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("journal.sqlite"));
}

JournalRecorder::JournalRecorder(const QString &path)
    : m_path(path), m_bench(LabServerSettings().benchName()),
      m_local(std::make_unique<SqliteJournalConnection>(path))
{
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, &m_retry, [this] { retry(); });
    m_nextBatch.setSingleShot(true);
    QObject::connect(&m_nextBatch, &QTimer::timeout, &m_nextBatch, [this] { retry(); });
    QObject::connect(&m_probe, &ServerProbe::answered, &m_probe, [this](bool reachable) { serverAnswered(reachable); });
}

JournalRecorder::~JournalRecorder() = default;

void JournalRecorder::useServer(const LabServerSettings &settings)
{
    m_bench = settings.benchName();
    m_serverSettings = settings;
    m_lab.reset();
    m_server.reset();
    if (settings.enabled)
        m_server = std::make_unique<Journal>(std::make_unique<PostgresJournalConnection>(settings.connection()));
    // The bench's own journal opens with its first use, as before; the lab's outbox at once.
    if (m_server || m_spool.waiting() > 0)
        retry();
    else
        followUp({});
}

QString JournalRecorder::record(const ResultRecord &record, const QString &lineSettings)
{
    JournalEntry entry = entryOf(record, lineSettings);
    entry.bench = m_bench;
    JournalStatus status = m_spool.submit(std::move(entry));
    // A failure may be a journal not open yet; a success has already tried the server.
    if (status.ok())
        followUp(status);
    else
        status = retry();
    return status.ok() ? QString() : status.message;
}

JournalStatus JournalRecorder::amend(JournalAmendment amendment)
{
    // A row kept for the server is written as given: its identity and time are set here.
    if (amendment.uuid.isEmpty())
        amendment.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!amendment.time.isValid())
        amendment.time = QDateTime::currentDateTimeUtc();
    // The bench where it was given, which on a lab server need not be the entry's.
    amendment.bench = m_bench;
    const JournalStatus status = write(amendment);
    followUp(m_spool.lastFailure());
    return status;
}

QString JournalRecorder::serverState() const
{
    const qint64 waiting = m_lab ? m_lab->waiting() : 0;
    if (waiting == 0)
        return {};
    return QStringLiteral("Lab journal offline - %1 %2 waiting")
        .arg(waiting)
        .arg(waiting == 1 ? QStringLiteral("entry") : QStringLiteral("entries"));
}

QString JournalRecorder::serverReason() const
{
    return m_lab ? m_lab->serverStatus().message : QString();
}

QString JournalRecorder::takeKeptAside()
{
    if (m_keptAsideTold || m_local.keptAside().isEmpty())
        return {};
    m_keptAsideTold = true;
    return m_local.keptAside();
}

Journal *JournalRecorder::journal()
{
    retry();
    if (m_server)
        return m_server.get();
    return m_open ? &m_local : nullptr;
}

// Opens the bench's journal when it is not open yet (its folder may have become writable since),
// then writes what waits in memory, then sends what waits for the server.
JournalStatus JournalRecorder::retry()
{
    JournalStatus status;
    if (!m_open) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        status = m_local.open();
        m_open = status.ok();
    }
    if (m_open && m_server && !m_lab)
        m_lab = std::make_unique<LabJournal>(*m_server, m_local);
    // A row written now has already tried the server once.
    const bool spooled = m_spool.waiting() > 0;
    if (m_open)
        status = m_spool.retry();
    if (m_lab && m_lab->waiting() > 0 && !spooled)
        sendToServer();
    followUp(status);
    return status;
}

void JournalRecorder::sendToServer()
{
    // A server on a local socket answers or refuses at once.
    const QString &host = m_serverSettings.host;
    if (m_lab->away() && !host.isEmpty() && !host.startsWith(u'/'))
        m_probe.start(host, m_serverSettings.port);
    else
        sendBatch();
}

void JournalRecorder::serverAnswered(bool reachable)
{
    if (!reachable || !m_lab)
        return;
    sendBatch();
    followUp({});
}

void JournalRecorder::sendBatch()
{
    m_lab->sendWaiting(LabJournal::SendBatch);
    if (m_lab->waiting() > 0 && !m_lab->away())
        m_nextBatch.start(0);
}

JournalStatus JournalRecorder::write(const JournalWrite &row)
{
    if (m_lab)
        return m_lab->write(row);
    if (!m_open)
        return {JournalStatus::Code::NotWritable, QStringLiteral("Journal %1 is not open.").arg(m_path)};
    if (const auto *entry = std::get_if<JournalEntry>(&row))
        return m_local.append(*entry);
    return m_local.amend(std::get<JournalAmendment>(row));
}

void JournalRecorder::followUp(const JournalStatus &status)
{
    if (status.ok() && serverState().isEmpty())
        m_retry.stop();
    else if (!m_retry.isActive())
        m_retry.start();
    if (serverState() != m_toldState) {
        m_toldState = serverState();
        if (onServerStateChanged)
            onServerStateChanged(m_toldState);
    }
}
