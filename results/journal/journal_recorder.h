#pragma once

#include "journal/journal.h"
#include "journal/journal_spool.h"
#include "journal/lab_server_settings.h"
#include "results/journal/server_probe.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class LabJournal;
struct ResultRecord;

/// Writes each completed titration record, and the amendments made in the Journal window, into
/// the results journal: the bench's own, or, with a lab server set, the server's with the bench's
/// own as its outbox while the server is away. What no journal can take stays in memory; what
/// waits is written again every few seconds and before the next record, in order; nothing is
/// dropped.
class JournalRecorder
{
  public:
    static constexpr int kRetryMs = 5000;

    /// journal.sqlite in the user's data folder, beside the capture log.
    static QString defaultPath();

    explicit JournalRecorder(const QString &path = defaultPath());
    ~JournalRecorder();

    /// From now on the journal the settings name: the lab server when enabled, else the bench's own.
    void useServer(const LabServerSettings &settings);

    /// Empty when the record is in the journal; else why it is not, while it waits for a retry.
    QString record(const ResultRecord &record, const QString &lineSettings);
    /// Ok when the amendment is in the journal or, with a lab server, kept by the bench for it.
    JournalStatus amend(JournalAmendment amendment);
    /// Entries not written yet.
    qsizetype waiting() const { return m_spool.waiting(); }
    /// "Lab journal offline - 3 entries waiting" while rows wait for the server; empty otherwise.
    QString serverState() const;
    /// The server's reason for the last row it did not take.
    QString serverReason() const;
    /// Called with serverState() whenever it changes.
    std::function<void(const QString &state)> onServerStateChanged;
    /// Where a damaged journal file was kept aside, told once; empty otherwise.
    QString takeKeptAside();
    /// The journal to read: the lab server's when set (it connects again on each read), else the
    /// bench's own, opened and with what waited written; nothing when it cannot open.
    Journal *journal();

    /// Writes what waits now, as the timer does.
    JournalStatus retry();

  private:
    JournalStatus write(const JournalWrite &row);
    /// Sends a batch of what waits for the server; a server that is away is tried again only once
    /// it takes a connection.
    void sendToServer();
    void serverAnswered(bool reachable);
    void sendBatch();
    /// Keeps the timer running while anything waits, and tells a changed server state.
    void followUp(const JournalStatus &status);

    QString m_path;
    QString m_bench;
    Journal m_local;
    bool m_open = false;
    std::unique_ptr<Journal> m_server;
    std::unique_ptr<LabJournal> m_lab; ///< made once the bench's journal is open
    JournalSpool m_spool{[this](const JournalWrite &row) { return write(row); }};
    bool m_keptAsideTold = false;
    QString m_toldState;
    QTimer m_retry;
    // Sends the next batch of a long outbox once the window has had its turn.
    QTimer m_nextBatch;
    ServerProbe m_probe;
    LabServerSettings m_serverSettings;
};
