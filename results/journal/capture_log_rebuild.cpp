#include "results/journal/capture_log_rebuild.h"

#include "analysis/equivalence_points.h"
#include "common/cp1252.h"
#include "common/os_user.h"
#include "journal/journal.h"
#include "journal/journal_row.h"
#include "results/capture_log.h"
#include "results/received_records.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QUuid>

namespace {

// Names the uuids of rebuilt entries; never to change, or a rebuild would add its entries again.
const QUuid kRebuiltEntries(QStringLiteral("{6f1d1c52-4a57-4f0e-9d5e-0c8b7d2a9e31}"));

struct DayFile
{
    QDate day;
    QString path;
};

/// The capture files from `from` on, oldest first, up to the first after `to`, where a record
/// begun on `to` may end.
QList<DayFile> dayFiles(const QString &folder, const QDate &from, const QDate &to)
{
    QList<DayFile> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        const QDate day = QDate::fromString(name.chopped(4), QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid() || CaptureLog::dayFileName(day) != name || day < from)
            continue;
        files.append({day, dir.filePath(name)});
        if (day > to)
            break;
    }
    return files;
}

/// Received bytes between two gap lines, and how many bytes the gap line after them says are lost.
struct Piece
{
    QByteArray bytes;
    qint64 missingAfter = 0;
};

QList<Piece> piecesOf(const QByteArray &file)
{
    QList<Piece> pieces;
    qsizetype from = 0;
    qsizetype at = file.indexOf(CaptureLog::kGapLineStart);
    while (at >= 0) {
        const qsizetype end = file.indexOf("]\r\n", at);
        if (end < 0)
            break;
        if (at == 0 || file[at - 1] == '\n') {
            const QByteArray gap = file.mid(at + CaptureLog::kGapLineStart.size(), end - at);
            pieces.append({file.mid(from, at - from), gap.left(gap.indexOf(' ')).toLongLong()});
            from = end + 3;
        }
        at = file.indexOf(CaptureLog::kGapLineStart, end);
    }
    pieces.append({file.mid(from), 0});
    return pieces;
}

/// Takes one entry of the record out of `there` when one holds its bytes or the start of them up
/// to a line end after its table, the longest first.
bool takeEntryOf(const ReceivedRecord &record, QHash<QString, int> &there)
{
    QList<qsizetype> ends{record.bytes.size()};
    for (qsizetype at = record.bytes.size() - 2; record.tableEnd > 0 && at >= record.tableEnd - 1; --at) {
        if (record.bytes[at] == '\n')
            ends.append(at + 1);
    }
    for (const qsizetype end : ends) {
        const auto found = there.find(JournalRow::sha256Hex(record.bytes.left(end)));
        if (found != there.end() && found.value() > 0) {
            --found.value();
            return true;
        }
    }
    return false;
}

} // namespace

CaptureLogRebuild::CaptureLogRebuild(Journal &journal, QString folder) : m_journal(journal), m_folder(std::move(folder))
{
}

CaptureLogRebuildResult CaptureLogRebuild::run(const QDate &from, const QDate &to) const
{
    CaptureLogRebuildResult result;
    const QList<Found> found = read(from, to, &result);
    if (!result.status.ok())
        return result;
    // A live entry's run may have started the day before its record's first byte.
    QHash<QString, int> there;
    for (const QString &hash : m_journal.receivedSha256s(from.addDays(-1), to.addDays(1), &result.status))
        ++there[hash];
    if (!result.status.ok())
        return result;
    QList<JournalEntry> entries;
    for (const Found &record : found) {
        if (takeEntryOf(*record.record, there))
            ++result.present;
        else
            entries.append(entryOf(record));
    }
    if (!entries.isEmpty())
        result.status = m_journal.appendAll(entries);
    if (result.status.ok())
        result.added = int(entries.size());
    return result;
}

QList<CaptureLogRebuild::Found> CaptureLogRebuild::read(const QDate &from, const QDate &to,
                                                        CaptureLogRebuildResult *result) const
{
    ReceivedRecords records;
    QList<Found> found;
    // Ends the open record where bytes are missing: what follows cannot be part of it.
    const auto endAtGap = [&](qint64 missing) {
        const std::optional<int> ended =
            records.settling() ? records.settle(ReceivedRecords::quietMs) : records.abort();
        if (ended)
            found[*ended - 1].missingAfter = missing;
    };
    for (const DayFile &file : dayFiles(m_folder, from, to)) {
        QFile capture(file.path);
        if (!capture.open(QIODevice::ReadOnly)) {
            result->status = {JournalStatus::Code::NotFound,
                              QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file.path), capture.errorString())};
            return {};
        }
        for (const Piece &piece : piecesOf(capture.readAll())) {
            for (qsizetype begun = records.receive(piece.bytes, {}, 0).size(); begun > 0; --begun)
                found.append({nullptr, file.day});
            if (piece.missingAfter > 0)
                endAtGap(piece.missingAfter);
        }
    }
    records.settle(ReceivedRecords::quietMs);
    QHash<QString, int> seen;
    QList<Found> inPeriod;
    for (int number = 1; number <= found.size(); ++number) {
        Found record = found[number - 1];
        if (record.day > to)
            break;
        record.record = records.record(number);
        if (!record.record->complete) {
            ++result->unfinished;
            continue;
        }
        record.occurrence = ++seen[record.day.toString(Qt::ISODate) + record.record->sha256()];
        inPeriod.append(record);
    }
    return inPeriod;
}

JournalEntry CaptureLogRebuild::entryOf(const Found &found) const
{
    const ReceivedRecord &record = *found.record;
    JournalEntry entry;
    const QByteArray name =
        found.day.toString(Qt::ISODate).toLatin1() + ' ' + QByteArray::number(found.occurrence) + ' ' + record.bytes;
    entry.uuid = QUuid::createUuidV5(kRebuiltEntries, name).toString(QUuid::WithoutBraces);
    entry.received = record.bytes;
    entry.table = record.tableRows(ReceivedRecord::columnTitles());
    entry.equivalencePoints = findEquivalencePoints(titrationSamples(entry.table.mid(1)));
    entry.resultsBlock = cp1252::decode(record.resultsBlock());
    // The capture log keeps no times: the run is dated by the day of its file.
    entry.runStart = found.day.startOfDay();
    entry.programVersion = QCoreApplication::applicationVersion();
    entry.osUser = osUser();
    entry.state = JournalEntry::State::Rebuilt;
    entry.note = QStringLiteral("rebuilt from capture log %1").arg(CaptureLog::dayFileName(found.day));
    if (found.missingAfter > 0)
        entry.note += QStringLiteral("; %1 bytes received right after it are missing from the capture log")
                          .arg(found.missingAfter);
    return entry;
}
