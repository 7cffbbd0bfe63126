#include "journal/journal.h"

#include "journal/journal_chain_check.h"
#include "journal/journal_codec.h"
#include "journal/journal_connection.h"
#include "journal/journal_row.h"
#include "journal/journal_row_writer.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

constexpr int VerifyBatch = 2048;
constexpr int ManyMatches = 2000;

QString dayStart(const QDate &date)
{
    return JournalCodec::timeText(date.startOfDay());
}

} // namespace

Journal::Journal(std::unique_ptr<JournalConnection> connection) : m_connection(std::move(connection)) {}

Journal::~Journal() = default;

JournalStatus Journal::open()
{
    return m_connection->open();
}

QString Journal::keptAside() const
{
    return m_connection->keptAside();
}

JournalStatus Journal::append(const JournalEntry &entry)
{
    return appendAll({entry});
}

JournalStatus Journal::appendAll(const QList<JournalEntry> &entries)
{
    const QDateTime recordedAt = QDateTime::currentDateTimeUtc();
    QList<PendingRow> rows;
    for (const JournalEntry &entry : entries)
        rows.append({entry.uuid, [&](JournalStatus *) { return JournalCodec::encode(entry, recordedAt); }, entry.received});
    return write(rows);
}

JournalStatus Journal::amend(const JournalAmendment &amendment)
{
    JournalAmendment row = amendment;
    if (row.uuid.isEmpty())
        row.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!row.time.isValid())
        row.time = QDateTime::currentDateTimeUtc();
    const auto makeContent = [&](JournalStatus *status) {
        const std::optional<QString> current = currentSha256(row.entryUuid, status);
        if (!current) {
            if (status->ok())
                *status = {JournalStatus::Code::NotFound, QStringLiteral("The journal has no entry %1.").arg(row.entryUuid)};
            return QByteArray();
        }
        if (row.kind == JournalAmendment::Kind::Signature)
            row.coversSha256 = *current;
        return JournalCodec::encode(row);
    };
    return write({{row.uuid, makeContent, {}}});
}

JournalStatus Journal::keep(const JournalAmendment &amendment)
{
    return write({{amendment.uuid, [&](JournalStatus *) { return JournalCodec::encode(amendment); }, {}}});
}

QList<JournalWrite> Journal::unsent(int limit, JournalStatus *status) const
{
    QList<JournalWrite> rows;
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT kind, content, received FROM journal_row WHERE uuid NOT IN"
                                   " (SELECT uuid FROM journal_sent) ORDER BY seq LIMIT %1")
                        .arg(limit))) {
        *status = m_connection->statusOf(query.lastError());
        return rows;
    }
    while (query.next()) {
        const QByteArray content = query.value(1).toString().toUtf8();
        if (query.value(0).toString() == QLatin1String("entry"))
            rows.append(JournalCodec::decodeEntry(content, query.value(2).toByteArray()));
        else
            rows.append(JournalCodec::decodeAmendment(content));
    }
    return rows;
}

qint64 Journal::unsentCount() const
{
    QSqlQuery query(m_connection->database());
    return query.exec(QStringLiteral("SELECT count(*) FROM journal_row WHERE uuid NOT IN (SELECT uuid FROM journal_sent)"))
                   && query.next()
               ? query.value(0).toLongLong()
               : 0;
}

JournalStatus Journal::markSent(const QString &uuid)
{
    QSqlQuery query(m_connection->database());
    query.prepare(QStringLiteral("INSERT INTO journal_sent (uuid) VALUES (?) ON CONFLICT (uuid) DO NOTHING"));
    query.addBindValue(uuid);
    return query.exec() ? JournalStatus() : m_connection->statusOf(query.lastError());
}

JournalStatus Journal::write(const QList<PendingRow> &rows)
{
    JournalStatus status = m_connection->ready();
    if (status.ok())
        status = m_connection->beginWrite();
    if (!status.ok())
        return status;
    {
        JournalRowWriter writer(*m_connection);
        status = writer.start();
        for (qsizetype index = 0; status.ok() && index < rows.size(); ++index)
            status = writer.write(rows[index].uuid, rows[index].makeContent, rows[index].received);
    }
    if (status.ok() && !m_connection->database().commit())
        status = m_connection->statusOf(m_connection->database().lastError());
    if (!status.ok())
        m_connection->database().rollback();
    return status;
}

std::optional<QString> Journal::currentSha256(const QString &entryUuid, JournalStatus *status) const
{
    QSqlQuery query(m_connection->database());
    query.prepare(QStringLiteral("SELECT row_sha256 FROM journal_row WHERE uuid = ? AND kind = 'entry'"));
    query.addBindValue(entryUuid);
    if (!query.exec()) {
        *status = m_connection->statusOf(query.lastError());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    JournalCurrentValues current({}, query.value(0).toString());
    for (const auto &[amendment, rowSha256] : amendmentsOf({entryUuid}, status).value(entryUuid))
        current.apply(amendment, rowSha256);
    return status->ok() ? std::optional(current.sha256) : std::nullopt;
}

QHash<QString, Journal::AmendmentRows> Journal::amendmentsOf(const QStringList &entryUuids,
                                                              JournalStatus *status) const
{
    QHash<QString, AmendmentRows> amendments;
    if (entryUuids.isEmpty())
        return amendments;
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT entry_uuid, content, row_sha256 FROM journal_row WHERE entry_uuid IN (?%1)"
                                 " AND kind <> 'entry' ORDER BY seq")
                      .arg(QStringLiteral(", ?").repeated(entryUuids.size() - 1)));
    for (const QString &uuid : entryUuids)
        query.addBindValue(uuid);
    if (!query.exec()) {
        *status = m_connection->statusOf(query.lastError());
        return amendments;
    }
    while (query.next()) {
        amendments[query.value(0).toString()].append(
            {JournalCodec::decodeAmendment(query.value(1).toString().toUtf8()), query.value(2).toString()});
    }
    return amendments;
}

QString Journal::searchCondition(const QString &text) const
{
    // Earlier sample identifications are found too: an edited entry stays findable by its old name.
    const QString contains = m_connection->containsCondition(QStringLiteral("search_text"));
    const QString edits = QStringLiteral("SELECT entry_uuid FROM journal_row WHERE kind = 'edit' AND %1").arg(contains);
    // A text that few entries contain is looked up first (through a text index where the database
    // has one); one that many contain is met soon enough walking the list newest first.
    QSqlQuery few(m_connection->database());
    few.prepare(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM journal_row WHERE kind = 'entry' AND %1 LIMIT %2) found")
                    .arg(contains)
                    .arg(ManyMatches));
    few.addBindValue(text);
    if (few.exec() && few.next() && few.value(0).toInt() < ManyMatches)
        return QStringLiteral("uuid IN (SELECT uuid FROM journal_row WHERE kind = 'entry' AND %1 UNION ALL %2)").arg(contains, edits);
    return QStringLiteral("(%1 OR uuid IN (%2))").arg(contains, edits);
}

JournalPage Journal::list(const JournalFilter &filter, const std::optional<JournalCursor> &after, int pageSize) const
{
    QStringList conditions = {QStringLiteral("kind = 'entry'")};
    QVariantList values;
    if (after) {
        conditions.append(QStringLiteral("(run_start, seq) < (?, ?)"));
        values << after->runStart << after->seq;
    }
    if (filter.from.isValid()) {
        conditions.append(QStringLiteral("run_start >= ?"));
        values << dayStart(filter.from);
    }
    if (filter.to.isValid()) {
        conditions.append(QStringLiteral("run_start < ?"));
        values << dayStart(filter.to.addDays(1));
    }
    if (!filter.methodName.isEmpty()) {
        conditions.append(QStringLiteral("method_name = ?"));
        values << filter.methodName;
    }
    if (!filter.bench.isEmpty()) {
        conditions.append(QStringLiteral("bench = ?"));
        values << filter.bench;
    }
    JournalPage page;
    page.status = m_connection->ready();
    if (!page.status.ok())
        return page;
    if (!filter.text.isEmpty()) {
        const QString text = m_connection->containsValue(filter.text.toLower());
        conditions.append(searchCondition(text));
        values << text << text;
    }
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT run_start, seq, uuid, sample_id, sample_weight, method_name, first_ep_volume,"
                                 " first_ep_signal, result_line, state, bench, row_sha256 FROM journal_row WHERE %1"
                                 " ORDER BY run_start DESC, seq DESC LIMIT %2")
                      .arg(conditions.join(QStringLiteral(" AND ")))
                      .arg(pageSize + 1));
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        page.status = m_connection->statusOf(query.lastError());
        return page;
    }
    std::optional<JournalCursor> lastKey;
    while (query.next()) {
        if (page.rows.size() == pageSize) {
            page.next = lastKey;
            break;
        }
        lastKey = JournalCursor{query.value(0).toString(), query.value(1).toLongLong()};
        JournalEntry base;
        base.sampleId = query.value(3).toString();
        base.sampleWeight = query.value(4).toDouble();
        if (!query.value(6).isNull())
            base.equivalencePoints = {{query.value(6).toDouble(), query.value(7).toDouble()}};
        base.state = JournalCodec::stateFrom(query.value(9).toString());
        page.rows.append({query.value(2).toString(), JournalCodec::timeFrom(lastKey->runStart),
                          query.value(5).toString(), query.value(8).toString(), query.value(10).toString(),
                          JournalCurrentValues(base, query.value(11).toString())});
    }
    QStringList uuids;
    for (const JournalListRow &row : page.rows)
        uuids.append(row.uuid);
    const QHash<QString, AmendmentRows> amendments = amendmentsOf(uuids, &page.status);
    for (JournalListRow &row : page.rows) {
        for (const auto &[amendment, rowSha256] : amendments.value(row.uuid))
            row.current.apply(amendment, rowSha256);
    }
    return page;
}

std::optional<JournalEntryHistory> Journal::load(const QString &entryUuid, JournalStatus *status) const
{
    JournalStatus ignored;
    JournalStatus &result = status ? *status : ignored;
    result = m_connection->ready();
    if (!result.ok())
        return std::nullopt;
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT kind, content, received, row_sha256 FROM journal_row WHERE entry_uuid = ?"
                                 " ORDER BY seq"));
    query.addBindValue(entryUuid);
    if (!query.exec()) {
        result = m_connection->statusOf(query.lastError());
        return std::nullopt;
    }
    std::optional<JournalEntryHistory> history;
    while (query.next()) {
        const QByteArray content = query.value(1).toString().toUtf8();
        const QString rowSha256 = query.value(3).toString();
        if (query.value(0).toString() == QLatin1String("entry")) {
            history.emplace();
            history->entry = JournalCodec::decodeEntry(content, query.value(2).toByteArray());
            history->entrySha256 = rowSha256;
            history->current = JournalCurrentValues(history->entry, rowSha256);
        } else if (history) {
            history->amendments.append(JournalCodec::decodeAmendment(content));
            history->current.apply(history->amendments.constLast(), rowSha256);
        }
    }
    return history;
}

QStringList Journal::receivedSha256s(const QDate &from, const QDate &to, JournalStatus *status) const
{
    QStringList hashes;
    *status = m_connection->ready();
    if (!status->ok())
        return hashes;
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT received_sha256 FROM journal_row WHERE kind = 'entry'"
                                 " AND ((run_start >= ? AND run_start < ?) OR run_start = '')"));
    query.addBindValue(dayStart(from));
    query.addBindValue(dayStart(to.addDays(1)));
    if (!query.exec()) {
        *status = m_connection->statusOf(query.lastError());
        return hashes;
    }
    while (query.next())
        hashes.append(query.value(0).toString());
    return hashes;
}

JournalVerification Journal::verify() const
{
    JournalVerification verification;
    verification.status = m_connection->ready();
    if (!verification.status.ok())
        return verification;
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT seq, %1, prev_sha256, row_sha256, content, received FROM journal_row"
                                   " ORDER BY seq")
                        .arg(JournalCodec::columnNames().join(QStringLiteral(", "))))) {
        verification.status = m_connection->statusOf(query.lastError());
        return verification;
    }
    const int prevColumn = int(JournalCodec::columnNames().size()) + 1;
    JournalChainCheck check;
    QList<JournalRow> batch;
    bool more = true;
    while (more) {
        more = query.next();
        if (more) {
            JournalRow row{query.value(0).toLongLong(), {}, query.value(prevColumn + 2).toString().toUtf8(),
                           query.value(prevColumn + 3).toByteArray(), query.value(prevColumn).toString(),
                           query.value(prevColumn + 1).toString()};
            for (int column = 1; column < prevColumn; ++column)
                row.columns.append(query.value(column));
            batch.append(std::move(row));
        }
        if ((!more || batch.size() == VerifyBatch) && !check.add(std::exchange(batch, {})))
            break;
    }
    verification.rowsChecked = check.rowsChecked();
    verification.firstBadSeq = check.firstBadSeq();
    verification.reason = check.reason();
    return verification;
}

qint64 Journal::rowCount() const
{
    QSqlQuery query(m_connection->database());
    return query.exec(QStringLiteral("SELECT count(*) FROM journal_row")) && query.next() ? query.value(0).toLongLong()
                                                                                          : 0;
}
