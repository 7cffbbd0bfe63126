#include "journal/journal.h"
#include "results/capture_log.h"
#include "results/journal/journal_window.h"
#include "tests/journal/journal_samples.h"
#include "tests/journal/sqlite_test_backend.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/test_application_environment.h"
#include "tests/support/titration_text.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

/// Three titrations of one morning with hand-checkable figures, in a real journal file.
class JournalWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ensureTestApplication<QApplication>();
        ASSERT_TRUE(m_journal.open().ok());
        const double volumes[] = {10.0, 10.2, 10.4};
        const double results[] = {99.0, 99.5, 100.0};
        for (int number = 0; number < 3; ++number) {
            JournalEntry entry = sampleEntry(number, QDateTime(QDate(2024, 3, 1), QTime(8 + number, 0), Qt::UTC));
            entry.equivalencePoints = {{volumes[number], 7.0}};
            entry.resultsBlock = QStringLiteral("EP1 %1 ml\nR1 = %2 %\n").arg(volumes[number]).arg(results[number]);
            ASSERT_TRUE(m_journal.append(entry).ok());
            m_uuids.append(entry.uuid);
        }
        m_window = std::make_unique<JournalWindow>(m_journal, m_dialogs);
        m_window->show();
    }

    template <class Control> Control *control(const QString &name) const
    {
        auto *found = m_window->findChild<Control *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QTableView *list() const { return control<QTableView>(QStringLiteral("JournalList")); }
    void click(const QString &name) const { control<QPushButton>(name)->click(); }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            texts << list()->model()->index(row, column).data().toString();
        return texts;
    }

    SqliteTestBackend m_backend;
    Journal m_journal{m_backend.connection()};
    FakeDialogs m_dialogs;
    QStringList m_uuids;
    std::unique_ptr<JournalWindow> m_window;
};

TEST_F(JournalWindowTest, SearchNarrowsTheListAndOpenShowsTheEntry)
{
    EXPECT_EQ(column(1), QStringList({"Sample 2", "Sample 1", "Sample 0"})) << "newest first";
    EXPECT_EQ(column(5), QStringList({"EP1 10.4 ml", "EP1 10.2 ml", "EP1 10 ml"}));

    control<QLineEdit>(QStringLiteral("JournalSearch"))->setText(QStringLiteral("Sample 1"));
    EXPECT_EQ(column(1), QStringList({"Sample 1"}));

    list()->selectRow(0);
    click(QStringLiteral("JournalOpen"));
    auto *received = m_window->findChild<QPlainTextEdit *>(QStringLiteral("JournalEntryReceived"));
    ASSERT_NE(received, nullptr);
    EXPECT_TRUE(received->toPlainText().contains(QStringLiteral("data record 1")));
    auto *results = m_window->findChild<QPlainTextEdit *>(QStringLiteral("JournalEntryResults"));
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->toPlainText().contains(QStringLiteral("Mode codes: 0123 1123 2123 ")));
}

// Rebuild asks for the days (Return takes the proposed week) and says what it did.
TEST_F(JournalWindowTest, RebuildAddsTheRunOfTheCaptureLogAndSaysSo)
{
    ASSERT_TRUE(QDir().mkpath(CaptureLog::defaultFolder()));
    QFile capture(QDir(CaptureLog::defaultFolder()).filePath(CaptureLog::dayFileName(QDate::currentDate())));
    ASSERT_TRUE(capture.open(QIODevice::Append));
    capture.write("      " + phHeader.toByteArray() + "\r\n" + titrationLines(20).join() + "\r\nTITRATION END\r\n");
    capture.close();
    whenModalLoopRuns([] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dialog->focusWidget() ? dialog->focusWidget() : dialog, &enter);
    });
    click(QStringLiteral("JournalRebuild"));
    EXPECT_EQ(m_dialogs.messages, QStringList({"1 entries added, 0 already present."}));
    EXPECT_EQ(column(6).value(0), QStringLiteral("rebuilt"));
}

TEST_F(JournalWindowTest, ComparesThreeEntriesAndSignsOne)
{
    list()->selectAll();
    click(QStringLiteral("JournalCompare"));
    auto *comparison = m_window->findChild<QPlainTextEdit *>(QStringLiteral("JournalComparisonText"));
    ASSERT_NE(comparison, nullptr);
    // By hand: volumes 10.0, 10.2, 10.4: mean 10.2, s 0.2, RSD 1.961 %; R1 99.0, 99.5, 100.0: mean 99.5, s 0.5,
    // RSD 0.5 / 99.5 = 0.503 %.
    EXPECT_EQ(comparison->toPlainText(),
              QStringLiteral("3 entries compared.\n"
                             "First equivalence volume / ml: n = 3, mean = 10.2, s = 0.2, RSD = 1.961 %\n"
                             "Titrator's first result (R1): n = 3, mean = 99.5, s = 0.5, RSD = 0.503 %"));

    list()->clearSelection();
    list()->selectRow(1);
    whenModalLoopRuns([] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLineEdit *>(QStringLiteral("SignatureMeaning"))->text(), "Reviewed");
        dialog->findChild<QLineEdit *>(QStringLiteral("SignatureComment"))->setText(QStringLiteral("balance checked"));
        dialog->findChild<QPushButton *>(QStringLiteral("SignatureOk"))->click();
    });
    click(QStringLiteral("JournalReview"));
    const JournalEntryHistory signedEntry = *m_journal.load(m_uuids[1]);
    ASSERT_EQ(signedEntry.current.signatures.size(), 1);
    EXPECT_EQ(signedEntry.current.signatures[0].meaning, "Reviewed");
    EXPECT_EQ(signedEntry.current.signatures[0].comment, "balance checked");
    EXPECT_TRUE(signedEntry.current.signatures[0].coversCurrent);
    EXPECT_EQ(column(7)[1], QStringLiteral("Reviewed (%1)").arg(signedEntry.current.signatures[0].user));
}

TEST_F(JournalWindowTest, VerifyNamesTheRowThatWasChanged)
{
    click(QStringLiteral("JournalVerify"));
    EXPECT_EQ(m_dialogs.messages, QStringList({"Journal verified: 3 rows, the chain is whole."}));

    m_backend.tamper(QStringLiteral("UPDATE journal_row SET sample_id = 'Sample 9' WHERE seq = 2"));
    click(QStringLiteral("JournalVerify"));
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors[0].startsWith(QStringLiteral("Journal row 2 no longer matches: ")))
        << m_dialogs.errors[0].toStdString();
}

TEST_F(JournalWindowTest, FetchesTheNextPageWhenTheListIsScrolledToItsEnd)
{
    QList<JournalEntry> more;
    for (int number = 3; number < 2 * Journal::PageSize + 10; ++number)
        more.append(sampleEntry(number, QDateTime(QDate(2024, 2, 1), QTime(8, 0), Qt::UTC).addSecs(-60 * number)));
    ASSERT_TRUE(m_journal.appendAll(more).ok());
    m_window->refresh();
    EXPECT_EQ(list()->model()->rowCount(), Journal::PageSize);

    list()->scrollToBottom();
    list()->scrollToBottom();
    EXPECT_EQ(list()->model()->rowCount(), 2 * Journal::PageSize + 10);
    EXPECT_EQ(column(1).last(), QStringLiteral("Sample %1").arg(2 * Journal::PageSize + 9));

    // A new search from the list's end starts again at the first page.
    m_window->refresh();
    list()->scrollToBottom();
    control<QLineEdit>(QStringLiteral("JournalSearch"))->setText(QStringLiteral("Sample"));
    QCoreApplication::processEvents();
    EXPECT_EQ(list()->model()->rowCount(), Journal::PageSize);
}

TEST_F(JournalWindowTest, BenchFilterListsOnlyThatBenchsEntries)
{
    JournalEntry other = sampleEntry(7, QDateTime(QDate(2024, 3, 1), QTime(7, 0), Qt::UTC));
    other.bench = QStringLiteral("bench-2");
    ASSERT_TRUE(m_journal.append(other).ok());
    m_window->refresh();
    EXPECT_EQ(column(8), QStringList({"bench-1", "bench-1", "bench-1", "bench-2"}));

    control<QLineEdit>(QStringLiteral("JournalBench"))->setText(QStringLiteral("bench-2"));
    EXPECT_EQ(column(1), QStringList({"Sample 7"}));
    control<QLineEdit>(QStringLiteral("JournalBench"))->setText(QStringLiteral("bench-1"));
    EXPECT_EQ(column(1), QStringList({"Sample 2", "Sample 1", "Sample 0"}));
}

} // namespace
