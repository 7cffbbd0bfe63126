#include "journal/journal.h"
#include "journal/journal_spool.h"
#include "journal/sqlite_journal_connection.h"

#include "tests/journal/journal_samples.h"
#include "tests/support/test_application_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

namespace {

class JournalFailure : public ::testing::Test
{
  protected:
    void SetUp() override { ensureTestApplication<QCoreApplication>(); }

    QString path() const { return m_dir.filePath(QStringLiteral("journal.sqlite")); }

    QStringList samplesInJournal(Journal &journal)
    {
        QStringList ids;
        for (const JournalListRow &row : journal.list({}).rows)
            ids.prepend(row.current.sampleId);
        return ids;
    }

    QTemporaryDir m_dir;
};

TEST_F(JournalFailure, ALockedJournalIsReportedAndTheSpoolWritesInOrderOnceItIsFree)
{
    Journal journal(std::make_unique<SqliteJournalConnection>(path(), 0));
    ASSERT_TRUE(journal.open().ok());
    JournalSpool spool(journal);
    ASSERT_TRUE(spool.submit(sampleEntry(1, QDateTime(QDate(2024, 1, 1), QTime(8, 0), Qt::UTC))).ok());
    {
        // Another program on the bench holds the journal's write lock.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        other.setDatabaseName(path());
        ASSERT_TRUE(other.open());
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        const JournalStatus status = spool.submit(sampleEntry(2, QDateTime(QDate(2024, 1, 2), QTime(8, 0), Qt::UTC)));
        EXPECT_EQ(status.code, JournalStatus::Code::Locked);
        EXPECT_TRUE(status.message.contains(path())) << status.message.toStdString();
        spool.submit(sampleEntry(3, QDateTime(QDate(2024, 1, 3), QTime(8, 0), Qt::UTC)));
        EXPECT_EQ(spool.waiting(), 2);
        EXPECT_FALSE(spool.retry().ok());
        EXPECT_EQ(spool.waiting(), 2);
        hold.exec(QStringLiteral("ROLLBACK"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));

    EXPECT_TRUE(spool.retry().ok());
    EXPECT_EQ(spool.waiting(), 0);
    EXPECT_EQ(samplesInJournal(journal), QStringList({"Sample 1", "Sample 2", "Sample 3"}));
    EXPECT_TRUE(journal.verify().intact());
}

TEST_F(JournalFailure, AFullDiskIsReportedAndNothingIsLost)
{
    Journal journal(std::make_unique<SqliteJournalConnection>(path()));
    ASSERT_TRUE(journal.open().ok());
    JournalSpool spool(journal);
    ASSERT_TRUE(spool.submit(sampleEntry(1)).ok());

    // The file system refuses to let any file grow past its size now, as a full disk does.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full{rlim_t(QFileInfo(path()).size() + QFileInfo(path() + "-wal").size()), saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    JournalEntry large = sampleEntry(2);
    large.received = QByteArray(1 << 20, 'x');
    const JournalStatus status = spool.submit(large);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(status.code, JournalStatus::Code::NotWritable) << status.message.toStdString();
    EXPECT_EQ(spool.waiting(), 1);
    EXPECT_TRUE(spool.retry().ok());
    EXPECT_EQ(journal.load(large.uuid)->entry.received, large.received);
    EXPECT_TRUE(journal.verify().intact());
}

TEST_F(JournalFailure, ADamagedFileIsKeptAsideAndANewJournalStarted)
{
    {
        QFile damaged(path());
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("SQLite format 3") + QByteArray(4096, '\x5a'));
    }
    Journal journal(std::make_unique<SqliteJournalConnection>(path()));
    ASSERT_TRUE(journal.open().ok());
    ASSERT_FALSE(journal.keptAside().isEmpty());
    EXPECT_TRUE(QFileInfo(journal.keptAside()).fileName().startsWith("journal.sqlite.damaged-"));
    QFile kept(journal.keptAside());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().startsWith("SQLite format 3"));
    EXPECT_TRUE(journal.append(sampleEntry(1)).ok());
    EXPECT_EQ(journal.rowCount(), 1);
}

} // namespace
