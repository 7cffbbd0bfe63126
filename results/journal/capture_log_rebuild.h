#pragma once

#include "journal/journal_entry.h"
#include "journal/journal_status.h"
#include "results/received_record.h"

#include <QDate>
#include <QList>
#include <QString>

#include <memory>

class Journal;

/// What a rebuild did.
struct CaptureLogRebuildResult
{
    JournalStatus status;
    int added = 0;
    int present = 0;
    /// Records left out because the capture log ends before their table does: the run may still go on.
    int unfinished = 0;
};

/// Finds the titration records in the capture log's files of a period with the live intake's own
/// record finder and adds to the journal those it does not have yet. A record counts as there when
/// an entry holds its bytes, or the start of them up to a line end after its table: the live
/// intake ends a record once the line has been quiet, the capture log only at the next record.
/// Entries get a uuid made from their bytes, their day and how often the same bytes came before
/// that day, so a rebuild run twice adds nothing.
class CaptureLogRebuild
{
  public:
    CaptureLogRebuild(Journal &journal, QString folder);

    CaptureLogRebuildResult run(const QDate &from, const QDate &to) const;

  private:
    /// A record as found in the capture log, with the file it began in.
    struct Found
    {
        std::shared_ptr<const ReceivedRecord> record;
        QDate day;
        int occurrence = 0;      ///< 1 for the first record of these bytes that day
        qint64 missingAfter = 0; ///< bytes a gap line says are missing right after it
    };

    /// The records that began in the period's files; a file that cannot be read fails the status.
    QList<Found> read(const QDate &from, const QDate &to, CaptureLogRebuildResult *result) const;
    JournalEntry entryOf(const Found &found) const;

    Journal &m_journal;
    QString m_folder;
};
