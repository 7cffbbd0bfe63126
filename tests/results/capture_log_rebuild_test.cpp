#include "journal/journal.h"
#include "journal/sqlite_journal_connection.h"
#include "results/capture_log.h"
#include "results/journal/capture_log_rebuild.h"
#include "tests/support/test_application_environment.h"
#include "tests/support/titration_text.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

/// A record from its header line through the titrator's results.
QByteArray printedRecord(int sample, double equivalenceMl)
{
    QByteArray text = "      " + phHeader.toByteArray() + "\r\n";
    for (const QByteArray &line : titrationLines(40, equivalenceMl))
        text += line;
    return text + "\r\nResults   SAMPLE " + QByteArray::number(sample) + "\r\nTITRATION END\r\n";
}

// The capture log holds two runs; the journal has the first as the live intake cut it (its
// results, not the printout that followed until the next run). A rebuild adds the second once,
// and a capture gap right after it ends it there and is named.
TEST(CaptureLogRebuild, AddsTheMissingRecordOnceBesideTheOneTheJournalHas)
{
    ensureTestApplication<QApplication>();
    QTemporaryDir dir;
    const QDate day(2024, 5, 6);
    const QByteArray first = printedRecord(1, 2.5);
    const QByteArray second = printedRecord(2, 3.0);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("capture")));
    QFile capture(dir.filePath("capture/" + CaptureLog::dayFileName(day)));
    ASSERT_TRUE(capture.open(QIODevice::WriteOnly));
    capture.write("DL25 TITRATOR\r\n" + first + "\r\nTITRATION  M1\r\nWEIGHT g ?\r\n" + second +
                  CaptureLog::gapLine(4096, day.startOfDay(), day.startOfDay(), "No space left on device") +
                  "STIRRER OFF\r\n");
    capture.close();

    Journal journal(std::make_unique<SqliteJournalConnection>(dir.filePath("journal.sqlite")));
    ASSERT_TRUE(journal.open().ok());
    JournalEntry live;
    live.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    live.received = first;
    live.runStart = QDateTime(day, QTime(9, 0));
    ASSERT_TRUE(journal.append(live).ok());

    const CaptureLogRebuild rebuild(journal, dir.filePath("capture"));
    const CaptureLogRebuildResult result = rebuild.run(day, day);
    EXPECT_TRUE(result.status.ok()) << result.status.message.toStdString();
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.present, 1);
    const CaptureLogRebuildResult again = rebuild.run(day.addDays(-2), day.addDays(1));
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.present, 2);

    const JournalPage page = journal.list({});
    ASSERT_EQ(page.rows.size(), 2);
    QList<JournalEntry> rebuilt;
    for (const JournalListRow &row : page.rows)
        if (const auto history = journal.load(row.uuid); history->entry.state == JournalEntry::State::Rebuilt)
            rebuilt.append(history->entry);
    ASSERT_EQ(rebuilt.size(), 1);
    const JournalEntry &entry = rebuilt.first();
    EXPECT_EQ(entry.received, second);
    EXPECT_EQ(entry.table.size(), 41);
    ASSERT_EQ(entry.equivalencePoints.size(), 1);
    EXPECT_NEAR(entry.equivalencePoints.first().volume, 3.0, 0.1);
    EXPECT_TRUE(entry.note.contains("capture log 2024-05-06.txt")) << entry.note.toStdString();
    EXPECT_TRUE(entry.note.contains("4096 bytes")) << entry.note.toStdString();
    EXPECT_TRUE(entry.sampleId.isEmpty());
}

} // namespace
