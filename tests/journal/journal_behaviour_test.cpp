#include "journal/journal.h"

#include "tests/journal/journal_samples.h"
#include "tests/journal/postgres_test_backend.h"
#include "tests/journal/sqlite_test_backend.h"
#include "tests/support/test_application_environment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>
#include <functional>

namespace {

std::unique_ptr<JournalTestBackend> makeBackend(const std::string &name)
{
    if (name == "sqlite")
        return std::make_unique<SqliteTestBackend>();
    if (PostgresTestBackend::available())
        return std::make_unique<PostgresTestBackend>();
    return nullptr;
}

/// The journal's behaviour, the same on every backend.
class JournalBehaviour : public ::testing::TestWithParam<std::string>
{
  protected:
    void SetUp() override
    {
        ensureTestApplication<QCoreApplication>();
        m_backend = makeBackend(GetParam());
        if (!m_backend)
            GTEST_SKIP() << PostgresTestBackend::SkipMessage;
        m_journal = std::make_unique<Journal>(m_backend->connection());
        ASSERT_TRUE(m_journal->open().ok());
    }

    JournalAmendment amendment(const JournalEntry &entry, JournalAmendment::Kind kind)
    {
        JournalAmendment row;
        row.kind = kind;
        row.entryUuid = entry.uuid;
        row.user = QStringLiteral("supervisor");
        row.bench = entry.bench;
        return row;
    }

    void appendAll(const QList<JournalEntry> &entries)
    {
        for (const JournalEntry &entry : entries)
            ASSERT_TRUE(m_journal->append(entry).ok());
    }

    std::unique_ptr<JournalTestBackend> m_backend;
    std::unique_ptr<Journal> m_journal;
};

TEST_P(JournalBehaviour, AnEntryComesBackAsWrittenAndARetryDoesNotDoubleIt)
{
    JournalEntry entry = sampleEntry(3);
    // Cells edited by hand may hold what the compact table text uses itself.
    entry.table.append({QStringLiteral("4 ,1"), QString(), QStringLiteral("\\s\\"), QStringLiteral(" ")});
    entry.table.append({QString()});
    entry.modeCodes[11].digits = {1, 10, 0, 2};
    ASSERT_TRUE(m_journal->append(entry).ok());
    ASSERT_TRUE(m_journal->append(entry).ok());
    EXPECT_EQ(m_journal->rowCount(), 1);

    const std::optional<JournalEntryHistory> history = m_journal->load(entry.uuid);
    ASSERT_TRUE(history);
    const JournalEntry &back = history->entry;
    EXPECT_EQ(back.received, entry.received);
    EXPECT_EQ(back.table, entry.table);
    ASSERT_EQ(back.equivalencePoints.size(), 1);
    EXPECT_EQ(back.equivalencePoints[0].volume, entry.equivalencePoints[0].volume);
    EXPECT_EQ(back.resultsBlock, entry.resultsBlock);
    EXPECT_EQ(back.sampleWeight, entry.sampleWeight);
    EXPECT_EQ(back.sampleId, entry.sampleId);
    EXPECT_EQ(back.methodSlot, entry.methodSlot);
    EXPECT_EQ(back.methodName, entry.methodName);
    EXPECT_EQ(back.modeCodes, entry.modeCodes);
    EXPECT_EQ(back.runStart, entry.runStart);
    EXPECT_EQ(back.lastByte, entry.lastByte);
    EXPECT_EQ(back.lineSettings, entry.lineSettings);
    EXPECT_EQ(back.osUser, entry.osUser);
    EXPECT_EQ(back.bench, entry.bench);
    EXPECT_TRUE(m_journal->verify().intact());
}

TEST_P(JournalBehaviour, EditsKeepTheOldValuesAndEndTheSignaturesThatCoveredThem)
{
    const JournalEntry entry = sampleEntry(1);
    appendAll({entry});
    JournalAmendment review = amendment(entry, JournalAmendment::Kind::Signature);
    review.meaning = QStringLiteral("Review");
    ASSERT_TRUE(m_journal->amend(review).ok());
    JournalAmendment note = amendment(entry, JournalAmendment::Kind::Edit);
    note.note = QStringLiteral("balance checked");
    ASSERT_TRUE(m_journal->amend(note).ok());
    EXPECT_TRUE(m_journal->load(entry.uuid)->current.signatures[0].coversCurrent) << "a note changes no value";

    JournalAmendment edit = amendment(entry, JournalAmendment::Kind::Edit);
    edit.sampleWeight = 0.2612;
    edit.sampleId = QStringLiteral("Sample 1b");
    ASSERT_TRUE(m_journal->amend(edit).ok());
    JournalAmendment approve = amendment(entry, JournalAmendment::Kind::Signature);
    approve.meaning = QStringLiteral("Approve");
    ASSERT_TRUE(m_journal->amend(approve).ok());

    const JournalEntryHistory history = *m_journal->load(entry.uuid);
    EXPECT_EQ(history.entry.sampleWeight, entry.sampleWeight);
    EXPECT_EQ(history.entry.sampleId, entry.sampleId);
    EXPECT_EQ(history.current.sampleWeight, 0.2612);
    EXPECT_EQ(history.current.sampleId, "Sample 1b");
    EXPECT_EQ(history.current.state, JournalEntry::State::Edited);
    EXPECT_EQ(history.current.notes, QStringList{"balance checked"});
    ASSERT_EQ(history.current.signatures.size(), 2);
    EXPECT_FALSE(history.current.signatures[0].coversCurrent);
    EXPECT_TRUE(history.current.signatures[1].coversCurrent);
    EXPECT_EQ(history.amendments[3].coversSha256, history.current.sha256);

    // The list shows the same current values as the entry.
    const JournalListRow row = m_journal->list({}).rows.at(0);
    EXPECT_EQ(row.current.sampleId, "Sample 1b");
    EXPECT_EQ(row.current.signatures.size(), 2);
    EXPECT_FALSE(row.current.signatures[0].coversCurrent);

    JournalAmendment orphan = amendment(sampleEntry(2), JournalAmendment::Kind::Edit);
    EXPECT_EQ(m_journal->amend(orphan).code, JournalStatus::Code::NotFound);
    EXPECT_TRUE(m_journal->verify().intact());
}

TEST_P(JournalBehaviour, TheListPagesNewestFirstAndFilters)
{
    const QDateTime day(QDate(2024, 5, 6), QTime(9, 0), Qt::UTC);
    QList<JournalEntry> entries;
    for (int number = 0; number < 7; ++number) {
        entries.append(sampleEntry(number, day.addDays(number / 2)));
        entries.last().bench = number % 2 ? QStringLiteral("bench-2") : QStringLiteral("bench-1");
    }
    appendAll(entries);
    JournalAmendment rename = amendment(entries[2], JournalAmendment::Kind::Edit);
    rename.sampleId = QStringLiteral("Lot 77");
    ASSERT_TRUE(m_journal->amend(rename).ok());

    QStringList seen;
    std::optional<JournalCursor> cursor;
    do {
        const JournalPage page = m_journal->list({}, cursor, 3);
        ASSERT_TRUE(page.status.ok()) << page.status.message.toStdString();
        for (const JournalListRow &row : page.rows)
            seen.append(row.current.sampleId);
        cursor = page.next;
    } while (cursor);
    EXPECT_EQ(seen, QStringList({"Sample 6", "Sample 5", "Sample 4", "Sample 3", "Lot 77", "Sample 1", "Sample 0"}));

    const auto samples = [&](const std::function<void(JournalFilter &)> &choose) {
        JournalFilter filter;
        choose(filter);
        QStringList ids;
        for (const JournalListRow &row : m_journal->list(filter).rows)
            ids.append(row.current.sampleId);
        return ids;
    };
    EXPECT_EQ(samples([](JournalFilter &f) { f.text = "lot 7"; }), QStringList{"Lot 77"});
    EXPECT_EQ(samples([](JournalFilter &f) { f.text = "Sample 2"; }), QStringList{"Lot 77"}) << "found by its earlier name";
    EXPECT_EQ(samples([](JournalFilter &f) { f.text = "10.07"; }), QStringList{"Sample 5"});
    EXPECT_EQ(samples([](JournalFilter &f) { f.text = "%"; }), QStringList{});
    EXPECT_EQ(samples([&](JournalFilter &f) {
                  f.from = day.date().addDays(1);
                  f.to = day.date().addDays(2);
              }),
              QStringList({"Sample 5", "Sample 4", "Sample 3", "Lot 77"}));
    EXPECT_EQ(samples([](JournalFilter &f) { f.methodName = "Method 2"; }), QStringList{"Sample 1"});
    EXPECT_EQ(samples([](JournalFilter &f) { f.bench = "bench-2"; }), QStringList({"Sample 5", "Sample 3", "Sample 1"}));
}

/// How a row was tampered with, and the row verify must name.
struct Tampering
{
    const char *name;
    const char *sql; ///< statements separated by ';' 
    qint64 badSeq;
};

TEST_P(JournalBehaviour, VerifyNamesTheFirstRowThatWasChangedRemovedOrInserted)
{
    QList<JournalEntry> entries;
    for (int number = 0; number < 4; ++number)
        entries.append(sampleEntry(number));
    appendAll(entries);
    ASSERT_TRUE(m_journal->verify().intact());

    const Tampering tamperings[] = {
        {"content", "UPDATE journal_row SET content = replace(content, '\"weight\":0.251', '\"weight\":0.351') WHERE seq = 2", 2},
        {"column", "UPDATE journal_row SET sample_id = 'Sample 9' WHERE seq = 2", 2},
        {"received", "UPDATE journal_row SET received = received || received WHERE seq = 3", 3},
        {"removed", "DELETE FROM journal_row WHERE seq = 2", 3},
        // Rows after it moved up one, and the forged one put in the gap.
        {"inserted", "UPDATE journal_row SET seq = seq + 100 WHERE seq >= 3;"
                     "UPDATE journal_row SET seq = seq - 99 WHERE seq >= 103;"
                     "INSERT INTO journal_row (seq, kind, uuid, entry_uuid, recorded_at, bench, prev_sha256, row_sha256,"
                     " content) SELECT 3, kind, 'forged', entry_uuid, recorded_at, bench, 'forged', row_sha256, content"
                     " FROM journal_row WHERE seq = 1", 3},
    };
    for (const Tampering &tampering : tamperings) {
        SCOPED_TRACE(tampering.name);
        m_backend = makeBackend(GetParam());
        m_journal = std::make_unique<Journal>(m_backend->connection());
        ASSERT_TRUE(m_journal->open().ok());
        appendAll(entries);
        for (const QString &statement : QString::fromLatin1(tampering.sql).split(QLatin1Char(';')))
            m_backend->tamper(statement);
        const JournalVerification verification = m_journal->verify();
        ASSERT_TRUE(verification.status.ok());
        EXPECT_EQ(verification.firstBadSeq, tampering.badSeq) << verification.reason.toStdString();
    }
}

std::string backendName(const ::testing::TestParamInfo<std::string> &info)
{
    return info.param;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, JournalBehaviour, ::testing::Values("sqlite", "postgres"), backendName);
