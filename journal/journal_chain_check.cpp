#include "journal/journal_chain_check.h"

#include "journal/journal_codec.h"

#include <QThread>

#include <algorithm>
#include <future>
#include <vector>

namespace {

// Drivers write a null text as NULL, as they do a null value.
bool isNull(const QVariant &value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull());
}

bool sameValue(const QVariant &stored, const QVariant &derived)
{
    // Drivers hand numbers back as double or text; both sides compare as values.
    if (isNull(stored) || isNull(derived))
        return isNull(stored) == isNull(derived);
    if (derived.typeId() == QMetaType::Double)
        return stored.toDouble() == derived.toDouble();
    return stored.toString() == derived.toString();
}

} // namespace

QString JournalChainCheck::contentProblem(const JournalRow &row)
{
    if (JournalRow::chainedSha256(row.prevSha256, row.content) != row.rowSha256)
        return QStringLiteral("its content does not match its hash");
    const QList<QVariant> derived = JournalCodec::columnsOf(row.content);
    const QStringList &names = JournalCodec::columnNames();
    for (qsizetype column = 0; column < names.size(); ++column) {
        if (column >= derived.size() || !sameValue(row.columns.value(column), derived[column]))
            return QStringLiteral("its column %1 differs from its content").arg(names[column]);
    }
    const QVariant receivedSha256 = derived.constLast();
    if (!receivedSha256.isNull() && JournalRow::sha256Hex(row.received) != receivedSha256.toString())
        return QStringLiteral("its received bytes do not match their hash");
    return {};
}

bool JournalChainCheck::add(const QList<JournalRow> &batch)
{
    if (m_firstBadSeq != 0)
        return false;
    std::vector<QString> problems(size_t(batch.size()));
    const qsizetype workers = std::max(1, QThread::idealThreadCount());
    const qsizetype share = (batch.size() + workers - 1) / std::max<qsizetype>(1, workers);
    std::vector<std::future<void>> running;
    for (qsizetype first = 0; first < batch.size(); first += share) {
        running.push_back(std::async(std::launch::async, [&, first] {
            for (qsizetype index = first; index < std::min(first + share, batch.size()); ++index)
                problems[size_t(index)] = contentProblem(batch[index]);
        }));
    }
    for (std::future<void> &worker : running)
        worker.get();
    for (qsizetype index = 0; index < batch.size(); ++index) {
        const JournalRow &row = batch[index];
        if (row.seq != m_expectedSeq)
            return fail(row.seq, QStringLiteral("row %1 is missing before it").arg(m_expectedSeq));
        if (row.prevSha256 != m_expectedPrev)
            return fail(row.seq, QStringLiteral("it does not follow the row before it"));
        if (!problems[size_t(index)].isEmpty())
            return fail(row.seq, problems[size_t(index)]);
        m_expectedPrev = row.rowSha256;
        ++m_expectedSeq;
        ++m_rowsChecked;
    }
    return true;
}

bool JournalChainCheck::fail(qint64 seq, const QString &reason)
{
    m_firstBadSeq = seq;
    m_reason = reason;
    return false;
}
