#pragma once

#include "journal/journal.h"
#include "journal/journal_spool.h"

#include <QString>
#include <QTimer>

struct ResultRecord;

/// Writes each completed titration record into the results journal. What the journal cannot take
/// stays in memory and is written again every ten seconds and before the next record, in order;
/// nothing is dropped.
class JournalRecorder
{
  public:
    static constexpr int kRetryMs = 10000;

    /// journal.sqlite in the user's data folder, beside the capture log.
    static QString defaultPath();
    /// The user logged in to the operating system, as entries name it.
    static QString osUser();

    explicit JournalRecorder(const QString &path = defaultPath());

    /// Empty when the record is in the journal; else why it is not, while it waits for a retry.
    QString record(const ResultRecord &record, const QString &lineSettings);
    /// Entries not written yet.
    qsizetype waiting() const { return m_spool.waiting(); }
    /// Where a damaged journal file was kept aside, told once; empty otherwise.
    QString takeKeptAside();
    /// The journal, opened and with what waited written, for reading; nothing when it cannot open.
    Journal *journal();

  private:
    JournalStatus retry();

    QString m_path;
    Journal m_journal;
    JournalSpool m_spool{m_journal};
    bool m_open = false;
    bool m_keptAsideTold = false;
    QTimer m_retry;
};
