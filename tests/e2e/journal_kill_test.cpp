#include "journal/journal.h"
#include "journal/sqlite_journal_connection.h"
#include "tests/e2e/process_probe.h"
#include "tests/e2e/program_on_pty.h"
#include "tests/support/test_application_environment.h"
#include "tests/support/titration_text.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QList<JournalEntry> journalEntries(const QString &path)
{
    Journal journal(std::make_unique<SqliteJournalConnection>(path));
    QList<JournalEntry> entries;
    if (!journal.open().ok())
        return entries;
    for (const JournalListRow &row : journal.list({}).rows)
        if (const std::optional<JournalEntryHistory> history = journal.load(row.uuid))
            entries.append(history->entry);
    return entries;
}

// The real program on a pseudo-terminal: a record is in the journal the moment it is complete,
// before the user is told, and a SIGKILL right then takes none of it away.
TEST(JournalSurvival, ACompletedRecordOutlivesAKillOfTheProgram)
{
    ensureTestApplication<QApplication>();
    const int instrument = openInstrumentTerminal();
    ASSERT_GE(instrument, 0);

    // The journal exists before the program starts, so the test's reads never race its creation.
    QTemporaryDir dataHome;
    const QString path = dataHome.filePath("Korvane/journal.sqlite");
    ASSERT_TRUE(QDir().mkpath(dataHome.filePath("Korvane")));
    ASSERT_TRUE(Journal(std::make_unique<SqliteJournalConnection>(path)).open().ok());

    QProcess korvane;
    ASSERT_TRUE(startOnTerminal(korvane, dataHome.path(), instrument));

    // The next record's header completes the first one without waiting for a quiet line.
    QByteArray record = "      " + phHeader.toByteArray() + "\r\n";
    for (const QByteArray &line : titrationLines(40, 3.0))
        record += line;
    record += "\r\nResults   SAMPLE 1   ID K1\r\n  EQP 1    V =    3.000 mL\r\nTITRATION END\r\n";
    const QByteArray sent = "TITRATION STARTED\r\n" + record + titrationHeader();
    ASSERT_EQ(::write(instrument, sent.constData(), sent.size()), sent.size());

    EXPECT_TRUE(eventually([&] { return !journalEntries(path).isEmpty(); }));
    ::kill(static_cast<pid_t>(korvane.processId()), SIGKILL);
    ASSERT_TRUE(korvane.waitForFinished(10000));

    const QList<JournalEntry> entries = journalEntries(path);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first().received, record + "TITRATION STARTED\r\n");
    EXPECT_EQ(entries.first().state, JournalEntry::State::Complete);
    Journal journal(std::make_unique<SqliteJournalConnection>(path));
    ASSERT_TRUE(journal.open().ok());
    EXPECT_TRUE(journal.verify().intact());
    ::close(instrument);
}

} // namespace
