#include "data/xlsx_writer.h"
#include "journal/journal.h"
#include "journal/sqlite_journal_connection.h"
#include "method/method_folder.h"
#include "method/method_settings.h"
#include "method/mode_code.h"
#include "results/journal/journal_recorder.h"
#include "results/received_records.h"
#include "tests/data/table_output_support.h"
#include "tests/support/form_fixture.h"
#include "tests/support/temporary_work_folder.h"
#include "tests/support/titration_text.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

/// A titration as the titrator prints it over the line: its table, then its results block.
QByteArray printedRun(int sample, double equivalenceMl)
{
    QByteArray text = "TITRATION STARTED\r\n      " + phHeader.toByteArray() + "\r\n";
    for (const QByteArray &line : titrationLines(40, equivalenceMl))
        text += line;
    return text + "\r\nResults   SAMPLE " + QByteArray::number(sample) + "   ID S" + QByteArray::number(sample) +
           "\r\n  WEIGHT       0.2500 g\r\n  EQP 1    V =    " + QByteArray::number(equivalenceMl, 'f', 3) +
           " mL\r\nTITRATION END\r\n";
}

/// The entries of the program's journal for the sample sampleId.
QList<JournalEntry> journalEntries(const QString &sampleId)
{
    Journal journal(std::make_unique<SqliteJournalConnection>(JournalRecorder::defaultPath()));
    QList<JournalEntry> entries;
    if (!journal.open().ok())
        return entries;
    JournalFilter filter;
    filter.text = sampleId;
    for (const JournalListRow &row : journal.list(filter).rows)
        if (const std::optional<JournalEntryHistory> history = journal.load(row.uuid);
            history && history->entry.sampleId == sampleId)
            entries.append(history->entry);
    return entries;
}

class TitrationRecordTest : public FormFixture
{
  protected:
    QLabel *resultLabel() const { return control<QLabel>("LabelResult"); }

    /// The titrator prints over the line; the record completes once the line has been quiet.
    void receive(const QByteArray &text)
    {
        const int records = form->findChild<QComboBox *>("comboBoxSelectRecord")->count();
        device().receive(text);
        ASSERT_TRUE(advance(20000, [&] {
            return form->findChild<QComboBox *>("comboBoxSelectRecord")->count() > records &&
                   form->terminalText().text().endsWith(text.right(20));
        }));
    }
    /// The quiet after a record passes on the manual clock; its check runs on a window timer.
    static bool settle(const std::function<bool()> &done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 3000) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        return done();
    }
    void settle(const QString &status)
    {
        advance(ReceivedRecords::quietMs);
        EXPECT_TRUE(settle([&] { return form->statusText() == status; })) << form->statusText().toStdString();
    }
    QString csvOf(const QString &name)
    {
        dialogs.saveAnswer = dir.filePath(name);
        form->SaveasCSV1Click();
        QFile file(dialogs.saveAnswer);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
    QString reportText(const QString &name = QStringLiteral("report.pdf"))
    {
        dialogs.saveAnswer = dir.filePath(name);
        form->ExportReport1Click();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(' ').toStdString();
        return QString::fromUtf8(table_output_test::runTool("pdftotext", {"-layout", dialogs.saveAnswer, "-"}).out);
    }
    QTemporaryDir dir;
};

// The entry keeps the codes that an upload of the method in the slot used last sends.
TEST_F(TitrationRecordTest, TheEntryKeepsTheModeCodesOfTheMethodUsedLast)
{
    TemporaryWorkFolder work;
    MethodSettings method;
    method.setName(QStringLiteral("Acid number"));
    method.setText(Setting::PredosageVolume, QStringLiteral("25"));
    ASSERT_TRUE(method.IniFileSave(MethodFolder(), 7));
    const QString sample = QUuid::createUuid().toString(QUuid::WithoutBraces);
    form->runStarted({"0.2500", sample});
    receive(printedRun(1, 2.5));
    settle(QStringLiteral("Titration finished - data record 1"));
    const QList<JournalEntry> entries = journalEntries(sample);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first().methodSlot, 7);
    EXPECT_EQ(entries.first().modeCodes, ModeCode::allOf(method));
    EXPECT_EQ(entries.first().modeCodes[2].digits[3], 5);
}

TEST_F(TitrationRecordTest, EachOfThreeRunsExportsItsOwnRecordWithoutOpeningTheTable)
{
    const double equivalences[] = {2.5, 3.0, 3.5};
    for (int run = 1; run <= 3; ++run) {
        form->runStarted({"0.2500", QStringLiteral("S%1").arg(run)});
        receive(printedRun(run, equivalences[run - 1]));
        settle(QStringLiteral("Titration finished - data record %1").arg(run));
        const QString eqp = QString::number(equivalences[run - 1], 'f', 2);
        EXPECT_TRUE(resultLabel()->text().startsWith("EQP 1: " + eqp.left(3))) << resultLabel()->text().toStdString();
        // The CSV holds this run's table: its last volume lies past this run's jump only.
        const QStringList lines = csvOf(QStringLiteral("run%1.csv").arg(run)).split("\r\n", Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 41);
        const QByteArray lastLine = titrationLines(40, equivalences[run - 1]).last().simplified();
        EXPECT_EQ(lines.last().split(',').first(), QString(lastLine.split(' ').first()));
        const QString report = reportText(QStringLiteral("run%1.pdf").arg(run));
        EXPECT_TRUE(report.contains(QRegularExpression(QStringLiteral("Results +SAMPLE %1 +ID S%1").arg(run))));
        EXPECT_TRUE(report.contains(QStringLiteral("Sample S%1").arg(run)));
    }
    // Each run is in the journal as received, written before the window said it finished.
    for (int run = 1; run <= 3; ++run) {
        const QList<JournalEntry> entries = journalEntries(QStringLiteral("S%1").arg(run));
        ASSERT_EQ(entries.size(), 1);
        const JournalEntry &entry = entries.first();
        const QByteArray printed = printedRun(run, equivalences[run - 1]);
        EXPECT_EQ(entry.received, printed.mid(printed.indexOf("      mL")));
        EXPECT_EQ(entry.state, JournalEntry::State::Complete);
        EXPECT_DOUBLE_EQ(entry.sampleWeight, 0.25);
        EXPECT_EQ(entry.table.size(), 41);
        ASSERT_EQ(entry.equivalencePoints.size(), 1);
        EXPECT_NEAR(entry.equivalencePoints.first().volume, equivalences[run - 1], 0.05);
        EXPECT_TRUE(entry.resultsBlock.contains(QStringLiteral("ID S%1").arg(run)));
        EXPECT_TRUE(entry.lineSettings.startsWith("COM1")) << entry.lineSettings.toStdString();
    }
    // New clears the results with the table.
    answerNextModal("OKBtn");
    form->New1Click();
    EXPECT_TRUE(resultLabel()->text().isEmpty());
    EXPECT_EQ(cells().rowCount(), 1);
}

TEST_F(TitrationRecordTest, EditsInTheTerminalAndTheTableAreMarkedListedAndTheReceivedCopyStays)
{
    const QByteArray printed = printedRun(1, 3.0);
    receive(printed);
    advance(ReceivedRecords::quietMs);
    ASSERT_TRUE(settle([&] { return !resultLabel()->text().isEmpty(); }));
    // One signal typed over in the terminal, one cell edited in the table.
    const QByteArray signal = titrationLines(40, 3.0)[2].simplified().split(' ')[2];
    QByteArray edited = form->terminalText().text();
    const qsizetype at = edited.indexOf(" " + signal + " ");
    ASSERT_GT(at, 0);
    edited.replace(at + 1, 1, "9");
    control<TerminalEdit>("Terminal")->setText(edited);
    control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    cells().setCell(5, 0, "7.777");

    EXPECT_TRUE(resultLabel()->text().endsWith(" - Edited after reception")) << resultLabel()->text().toStdString();
    EXPECT_TRUE(csvOf("edited.csv").endsWith("State,Edited after reception,,,\r\n"));
    const QString report = reportText();
    EXPECT_TRUE(report.contains("Edited after reception"));
    EXPECT_TRUE(report.contains(QStringLiteral("Row 3, Signal/pH: received \"%1\", shown \"9%2\"")
                                    .arg(QString(signal), QString(signal.mid(1)))))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Row 5, Volume/ml: received \"%1\", shown \"7.777\"")
                                    .arg(QString(titrationLines(40, 3.0)[4].simplified().split(' ')[0]))));
    // The footer's hash is the hash of the bytes as received, not of the edited terminal.
    const QByteArray received = printed.mid(printed.indexOf("      mL"));
    EXPECT_TRUE(report.contains(QCryptographicHash::hash(received, QCryptographicHash::Sha256).toHex()))
        << report.toStdString();
}

TEST_F(TitrationRecordTest, ResetDuringARunAsksAndAnAbortedRecordIsMarked)
{
    form->runStarted({"0.2500", "S1"});
    const QByteArray printed = printedRun(1, 3.0);
    receive(printed.left(printed.indexOf("\r\n", 900) + 2));
    const QByteArray before = device().written();

    form->ResetClick();
    EXPECT_EQ(dialogs.questions.size(), 1);
    advance(3000);
    EXPECT_EQ(device().written(), before);

    dialogs.questionAnswer = true;
    form->ResetClick();
    advance(3000);
    EXPECT_EQ(device().written(), before + "L");
    EXPECT_TRUE(resultLabel()->text().endsWith(" - Aborted")) << resultLabel()->text().toStdString();
    const QString csv = csvOf("aborted.csv");
    EXPECT_TRUE(csv.endsWith("State,Aborted,,,\r\n")) << csv.right(60).toStdString();
    const QList<JournalEntry> entries = journalEntries(QStringLiteral("S1"));
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const JournalEntry &entry) { return entry.state == JournalEntry::State::Aborted; }));
    // Nothing runs any more: Reset and Exit no longer ask.
    form->ResetClick();
    EXPECT_EQ(dialogs.questions.size(), 2);
}

TEST(XlsxOutput, KeepsPrintedDecimalsWritesDatesAndRefusesOverlongCells)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("book.xlsx");
    const QList<XlsxSheet> sheets = {
        {"Table", {{"Volume/ml", "Signal/pH"}, {"0.050", "4.10"}, {"10.00", "1.5E-3"}}},
        {"Results", {{"EQP"}, {"Titration started", "2026-12-07T14:30:05"}, {"Formula", "=1+1"}}}};
    ASSERT_EQ(writeXlsx(sheets, file), QString());
    const auto read = table_output_test::runTool(
        table_output_test::debianPython(),
        {"-c",
         "import openpyxl, sys\n"
         "book = openpyxl.load_workbook(sys.argv[1])\n"
         "t, r = book['Table'], book['Results']\n"
         "print(t['A2'].value, t['A2'].number_format, t['B2'].number_format, t['A3'].number_format,\n"
         "      t['B3'].number_format, r['B2'].value.isoformat(), r['B3'].value, r['B3'].data_type)",
         file});
    EXPECT_EQ(QString::fromUtf8(read.out + read.err).trimmed().toStdString(),
              "0.05 0.000 0.00 0.00 0.0E+00 2026-12-07T14:30:05 =1+1 s");

    const QString refused = writeXlsx({{"Table", {{"Long"}, {QString(40000, 'x')}}}}, dir.filePath("long.xlsx"));
    EXPECT_TRUE(refused.contains("32,767")) << refused.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("long.xlsx")));
}

} // namespace
