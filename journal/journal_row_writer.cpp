#include "journal/journal_row_writer.h"

#include "journal/journal_codec.h"
#include "journal/journal_connection.h"
#include "journal/journal_row.h"

#include <QSqlError>

JournalRowWriter::JournalRowWriter(JournalConnection &connection)
    : m_connection(connection), m_exists(connection.database()), m_insert(connection.database())
{
}

JournalStatus JournalRowWriter::start()
{
    QSqlQuery last(m_connection.database());
    if (!last.exec(QStringLiteral("SELECT seq, row_sha256 FROM journal_row ORDER BY seq DESC LIMIT 1")))
        return failed(last);
    const bool hasRows = last.next();
    m_lastSeq = hasRows ? last.value(0).toLongLong() : 0;
    m_lastSha256 = hasRows ? last.value(1).toString() : JournalRow::genesisSha256();
    const QStringList &columns = JournalCodec::columnNames();
    if (!m_exists.prepare(QStringLiteral("SELECT 1 FROM journal_row WHERE uuid = ?")))
        return failed(m_exists);
    if (!m_insert.prepare(QStringLiteral("INSERT INTO journal_row (seq, %1, prev_sha256, row_sha256, content, received)"
                                         " VALUES (?%2, ?, ?, ?, ?) ON CONFLICT (uuid) DO NOTHING")
                              .arg(columns.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(columns.size()))))
        return failed(m_insert);
    return {};
}

JournalStatus JournalRowWriter::write(const QString &uuid, const MakeContent &makeContent, const QByteArray &received)
{
    m_exists.addBindValue(uuid);
    if (!m_exists.exec())
        return failed(m_exists);
    const bool there = m_exists.next();
    m_exists.finish();
    if (there)
        return {};
    JournalStatus status;
    const QByteArray content = makeContent(&status);
    if (!status.ok())
        return status;
    const QString rowSha256 = JournalRow::chainedSha256(m_lastSha256, content);
    m_insert.addBindValue(m_lastSeq + 1);
    for (const QVariant &value : JournalCodec::columnsOf(content))
        m_insert.addBindValue(value);
    m_insert.addBindValue(m_lastSha256);
    m_insert.addBindValue(rowSha256);
    m_insert.addBindValue(QString::fromUtf8(content));
    m_insert.addBindValue(received.isNull() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(received));
    if (!m_insert.exec())
        return failed(m_insert);
    ++m_lastSeq;
    m_lastSha256 = rowSha256;
    return {};
}

JournalStatus JournalRowWriter::failed(const QSqlQuery &query) const
{
    return m_connection.statusOf(query.lastError());
}
