#include "journal/lab_journal.h"

#include "journal/journal.h"
#include "journal/postgres_journal_connection.h"
#include "journal/sqlite_journal_connection.h"

#include "tests/journal/journal_samples.h"
#include "tests/journal/own_postgres_server.h"
#include "tests/journal/postgres_test_backend.h"
#include "tests/support/test_application_environment.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

/// The lab server's rules and its many benches; needs the test server.
class LabJournalServer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ensureTestApplication<QCoreApplication>();
        if (!PostgresTestBackend::available())
            GTEST_SKIP() << PostgresTestBackend::SkipMessage;
        m_backend = std::make_unique<PostgresTestBackend>();
        m_owner = std::make_unique<Journal>(m_backend->connection());
        ASSERT_TRUE(m_owner->open().ok());
    }

    std::unique_ptr<PostgresTestBackend> m_backend;
    std::unique_ptr<Journal> m_owner;
};

TEST_F(LabJournalServer, TheBenchRoleMayInsertAndReadButNeverChangeOrRemove)
{
    Journal bench(std::make_unique<PostgresJournalConnection>(m_backend->settings(QStringLiteral("bench_a"))));
    ASSERT_TRUE(bench.open().ok());
    const JournalEntry entry = sampleEntry(1);
    ASSERT_TRUE(bench.append(entry).ok());
    EXPECT_EQ(bench.list({}).rows.size(), 1);

    EXPECT_TRUE(m_backend->run("bench_a", "UPDATE journal_row SET sample_id = 'x'").contains("permission denied"));
    EXPECT_TRUE(m_backend->run("bench_a", "DELETE FROM journal_row").contains("permission denied"));
    // The owner too, unless the maintenance switch is on.
    EXPECT_TRUE(m_backend->run("korvane_owner", "DELETE FROM journal_row").contains("never changed or removed"));
    EXPECT_TRUE(m_backend->run("korvane_owner", "TRUNCATE journal_row").contains("never changed or removed"));
    EXPECT_TRUE(bench.verify().intact());
    EXPECT_EQ(bench.rowCount(), 1);
}

TEST_F(LabJournalServer, FourBenchesWritingAtOnceLeaveOneWholeChain)
{
    constexpr int Benches = 4;
    constexpr int EntriesEach = 500;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int bench = 0; bench < Benches; ++bench) {
        const PostgresJournalSettings settings = m_backend->settings(QStringLiteral("bench_a"));
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(JOURNAL_TEST_WRITER, {settings.host, settings.database, settings.user,
                                                    QStringLiteral("bench-%1").arg(bench), QString::number(EntriesEach)});
    }
    for (const auto &writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(300'000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
    }

    const JournalVerification verification = m_owner->verify();
    EXPECT_TRUE(verification.intact()) << verification.reason.toStdString();
    EXPECT_EQ(verification.rowsChecked, Benches * EntriesEach);
    for (int bench = 0; bench < Benches; ++bench) {
        JournalFilter filter;
        filter.bench = QStringLiteral("bench-%1").arg(bench);
        QSet<QString> uuids;
        QStringList samples;
        std::optional<JournalCursor> cursor;
        do {
            const JournalPage page = m_owner->list(filter, cursor);
            for (const JournalListRow &row : page.rows) {
                uuids.insert(row.uuid);
                samples.append(row.current.sampleId);
            }
            cursor = page.next;
        } while (cursor);
        EXPECT_EQ(uuids.size(), EntriesEach) << "bench " << bench;
        EXPECT_EQ(samples.size(), EntriesEach) << "bench " << bench;
        EXPECT_EQ(samples.first(), QStringLiteral("Sample %1").arg(EntriesEach - 1));
    }
}

TEST_F(LabJournalServer, EntriesWrittenWhileTheServerIsAwayAreSentInOrderOnce)
{
    OwnServer server;
    QTemporaryDir benchDir;
    Journal lab(std::make_unique<PostgresJournalConnection>(server.settings()));
    ASSERT_TRUE(lab.open().ok());
    Journal local(std::make_unique<SqliteJournalConnection>(benchDir.filePath("journal.sqlite")));
    ASSERT_TRUE(local.open().ok());
    LabJournal journal(lab, local);

    QList<JournalEntry> entries;
    for (int number = 1; number <= 6; ++number)
        entries.append(sampleEntry(number, QDateTime(QDate(2024, 2, number), QTime(8, 0), Qt::UTC)));
    ASSERT_TRUE(journal.write(entries[0]).ok());
    EXPECT_FALSE(journal.offline());

    server.halt();
    for (int index = 1; index < 5; ++index)
        ASSERT_TRUE(journal.write(entries[index]).ok());
    JournalAmendment review;
    review.kind = JournalAmendment::Kind::Signature;
    review.uuid = QStringLiteral("review-of-1");
    review.entryUuid = entries[0].uuid;
    review.meaning = QStringLiteral("Review");
    ASSERT_TRUE(journal.write(review).ok());
    EXPECT_EQ(journal.waiting(), 5);
    EXPECT_EQ(journal.serverStatus().code, JournalStatus::Code::Unreachable);

    server.resume();
    // A process killed after the server took entry 2 but before noting it as sent.
    ASSERT_TRUE(lab.append(entries[1]).ok());
    // A server that was away is not tried for each new row; the bench sends once it answers.
    ASSERT_TRUE(journal.write(entries[5]).ok());
    EXPECT_EQ(journal.waiting(), 6);
    ASSERT_TRUE(journal.sendWaiting().ok());
    EXPECT_EQ(journal.waiting(), 0);

    QStringList samples;
    for (const JournalListRow &row : lab.list({}).rows)
        samples.prepend(row.current.sampleId);
    EXPECT_EQ(samples, QStringList({"Sample 1", "Sample 2", "Sample 3", "Sample 4", "Sample 5", "Sample 6"}));
    EXPECT_EQ(lab.rowCount(), 7);
    EXPECT_TRUE(lab.load(entries[0].uuid)->current.signatures.at(0).coversCurrent);
    EXPECT_TRUE(lab.verify().intact());
}

} // namespace
