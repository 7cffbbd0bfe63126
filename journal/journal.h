#pragma once

#include "journal/journal_amendment.h"
#include "journal/journal_entry.h"
#include "journal/journal_history.h"
#include "journal/journal_query.h"
#include "journal/journal_status.h"
#include "journal/journal_write.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class JournalConnection;
class QSqlQuery;

/// The outcome of checking the chain: the first row that no longer matches, and why.
struct JournalVerification
{
    JournalStatus status;
    qint64 rowsChecked = 0;
    qint64 firstBadSeq = 0; ///< 0 when every row matches
    QString reason;

    bool intact() const { return status.ok() && firstBadSeq == 0; }
};

/// The results journal: entries and the amendments that point at them, one chained row each,
/// never changed in place. The same calls on every database; the connection holds the rest.
class Journal
{
  public:
    static constexpr int PageSize = 200;

    explicit Journal(std::unique_ptr<JournalConnection> connection);
    ~Journal();

    JournalStatus open();
    /// Where open() kept a damaged journal aside before it started a new one; empty otherwise.
    QString keptAside() const;

    /// Writes the entry in one transaction; an entry whose uuid is already there is not doubled.
    JournalStatus append(const JournalEntry &entry);
    /// Writes the entries in one transaction, all or none: a rebuilt history or a drained spool.
    JournalStatus appendAll(const QList<JournalEntry> &entries);
    /// Writes an amendment; a signature is bound to the entry's current hash here.
    JournalStatus amend(const JournalAmendment &amendment);

    /// Writes the amendment as given, for a lab server whose entry may not be here; a signature is
    /// bound when the server takes it.
    JournalStatus keep(const JournalAmendment &amendment);

    /// The rows a lab server does not have yet, oldest first (the bench's journal as outbox).
    QList<JournalWrite> unsent(int limit, JournalStatus *status) const;
    qint64 unsentCount() const;
    JournalStatus markSent(const QString &uuid);

    /// One page of entries, newest run first; the next page starts at the page's cursor.
    JournalPage list(const JournalFilter &filter, const std::optional<JournalCursor> &after = {},
                     int pageSize = PageSize) const;
    /// The entry as written, its amendments and its current values; empty when it is not there.
    std::optional<JournalEntryHistory> load(const QString &entryUuid, JournalStatus *status = nullptr) const;
    /// The SHA-256 of the received bytes of each entry whose run started between the two days or
    /// is not known: what a rebuild looks for before it adds an entry again.
    QStringList receivedSha256s(const QDate &from, const QDate &to, JournalStatus *status) const;
    /// Recomputes the chain from the first row.
    JournalVerification verify() const;
    /// Rows in the chain, entries and amendments together.
    qint64 rowCount() const;

  private:
    using AmendmentRows = QList<std::pair<JournalAmendment, QString>>;

    /// A row and how to make its content inside the write transaction.
    struct PendingRow
    {
        QString uuid;
        std::function<QByteArray(JournalStatus *status)> makeContent;
        QByteArray received;
    };

    JournalStatus write(const QList<PendingRow> &rows);
    /// The list's condition for entries that contain the text, with two placeholders for it.
    QString searchCondition(const QString &text) const;
    std::optional<QString> currentSha256(const QString &entryUuid, JournalStatus *status) const;
    QHash<QString, AmendmentRows> amendmentsOf(const QStringList &entryUuids, JournalStatus *status) const;

    std::unique_ptr<JournalConnection> m_connection;
};
