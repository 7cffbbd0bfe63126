#include "results/journal/journal_record.h"

#include "analysis/result_text.h"
#include "common/cp1252.h"
#include "data/record_text.h"

#include <memory>

namespace {

std::shared_ptr<const ReceivedRecord> receivedOf(const JournalEntry &entry)
{
    if (entry.received.isEmpty())
        return nullptr;
    auto received = std::make_shared<ReceivedRecord>();
    received->bytes = entry.received;
    // The results block was kept as the tail of the received bytes; where it no longer is, the
    // bytes are all table.
    const QByteArray results = cp1252::encode(entry.resultsBlock);
    received->tableEnd =
        entry.received.endsWith(results) ? entry.received.size() - results.size() : entry.received.size();
    received->firstByte = entry.firstByte;
    received->lastByte = entry.lastByte;
    received->aborted = entry.state == JournalEntry::State::Aborted;
    received->complete = true;
    return received;
}

bool amendsValues(const JournalAmendment &amendment)
{
    return amendment.kind == JournalAmendment::Kind::Reevaluation ||
           (amendment.kind == JournalAmendment::Kind::Edit && (amendment.sampleWeight || amendment.sampleId));
}

JournalSource sourceOf(const JournalEntryHistory &history)
{
    JournalSource source{history.entry.uuid, {}, history.current.notes, {}};
    if (std::any_of(history.amendments.begin(), history.amendments.end(), amendsValues))
        source.marks.append(QStringLiteral("Amended in the journal"));
    if (history.current.invalidated)
        source.marks.append(QStringLiteral("Invalidated: ") + history.current.invalidationReason);
    for (const JournalSignatureState &signature : history.current.signatures)
        source.signatures.append(signatureLine(signature));
    return source;
}

} // namespace

QList<QStringList> entryDataRows(const JournalEntry &entry)
{
    return entry.table.mid(1);
}

SignalUnit entryUnit(const JournalEntry &entry)
{
    if (const std::optional<RecordBlock> block = recordBlock(entry.received, 1))
        return block->unit;
    return guessSignalUnit(titrationSamples(entryDataRows(entry)));
}

CurveColumns entryCurve(const JournalEntry &entry)
{
    return readCurveColumns(entry.table, int(entryDataRows(entry).size()));
}

ResultRecord journalRecord(const JournalEntryHistory &history, const QDateTime &made)
{
    const JournalEntry &entry = history.entry;
    const JournalCurrentValues &current = history.current;
    ResultRecord record;
    record.table = entry.table;
    record.curve = entryCurve(entry);
    record.unit = entryUnit(entry);
    record.points = current.equivalencePoints;
    const QString weight = current.sampleWeight > 0 ? QString::number(current.sampleWeight) : QString();
    record.run = RunRecord{{weight, current.sampleId}, entry.runStart.toLocalTime()};
    if (!entry.methodName.isEmpty())
        record.method = methodDescription(entry.methodName, entry.methodSlot);
    record.made = made;
    record.received = receivedOf(entry);
    record.textEdited = entry.state == JournalEntry::State::Edited;
    record.journal = sourceOf(history);
    return record;
}

QString signatureLine(const JournalSignatureState &signature)
{
    return QStringLiteral("%1 by %2 at %3%4: %5")
        .arg(signature.meaning, signature.user, journalTimeText(signature.time),
             signature.comment.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(signature.comment),
             signature.coversCurrent ? QStringLiteral("covers the current values")
                                     : QStringLiteral("no longer covers the current values"));
}

QString journalTimeText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
