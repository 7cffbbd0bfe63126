#include "results/result_table_model.h"
#include "tests/e2e/bench_fixture.h"

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>

#include <csignal>

TEST_F(BenchFixture, InstrumentGreetsTheProgram)
{
    EXPECT_TRUE(runUntil([&] { return terminalHas("DL25 TITRATOR   SIM 1.0\r\nd.At "); }, 10000));
}

TEST_F(BenchFixture, ProgramOutlivesAKilledSimulatorQuietlyAndKeepsItsText)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    answerRunDialog("0.2", 1);
    form->RunClick();
    ASSERT_TRUE(runUntil([&] { return terminalHas("pH/mL\r\n") && terminalHas("   0.400  "); }, 20000));
    ::kill(static_cast<pid_t>(simulator.processId()), SIGKILL);
    runUntil([] { return false; }, 300);
    const QByteArray kept = form->terminalText().text();

    const double cpuBefore = cpuSeconds();
    runUntil([] { return false; }, 500);
    // An idle program sleeps; a worker spinning on the dead line would use the whole half second.
    EXPECT_LT(cpuSeconds() - cpuBefore, 0.15);
    EXPECT_EQ(form->terminalText().text(), kept);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(BenchFixture, ResetAndStatusAreAnsweredInTheTerminal)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    form->ResetClick();
    EXPECT_TRUE(runUntil([&] { return terminalHas("\r\nRESET\r\n"); }, 5000));
    EXPECT_EQ(form->statusText(), "RESET");
    form->StatusClick();
    EXPECT_TRUE(runUntil([&] { return terminalHas("SAMPLES       0\r\n"); }, 5000));
    const QByteArray text = form->terminalText().text();
    EXPECT_LT(text.indexOf("Status:\r\n"), text.indexOf("STATUS DL25"));
    EXPECT_EQ(form->statusText(), "Asking Status");
}

namespace {

/// The five numbers of every line of the first measuring table in the text, as printed.
QList<QStringList> printedPoints(const QByteArray &text)
{
    const QByteArray header = "mL           mL             pH           pH       pH/mL\r\n";
    const qsizetype start = text.indexOf(header) + header.size();
    QList<QStringList> points;
    for (const QByteArray &line : text.mid(start, text.indexOf("\r\nResults", start) - start).split('\n')) {
        if (!line.trimmed().isEmpty())
            points.append(QString::fromLatin1(line.simplified()).split(' '));
    }
    return points;
}

} // namespace

TEST_F(BenchFixture, TitrationFromStartToEnd)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    answerRunDialog("0.2", 3);
    form->RunClick();
    EXPECT_EQ(form->statusText(), "Run started... Please wait.");

    // The table comes in clusters: the terminal grows in several steps while it streams.
    QSet<qsizetype> sizes;
    ASSERT_TRUE(runUntil(
        [&] {
            sizes.insert(form->terminalText().size());
            return terminalHas("TITRATION END\r\n");
        },
        60000));
    EXPECT_GT(sizes.size(), 5);
    const QByteArray text = form->terminalText().text();
    EXPECT_TRUE(text.contains("  ID 3\r\n"));
    const QList<QStringList> printed = printedPoints(text);
    ASSERT_GT(printed.size(), 20);

    auto *records = control<QComboBox>("comboBoxSelectRecord");
    ASSERT_EQ(records->count(), 1);
    EXPECT_EQ(records->currentText(), "data record 1");

    control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    const auto *cells = static_cast<const ResultTableModel *>(control<QTableView>("Table")->model());
    EXPECT_EQ(cells->rows().mid(1), printed);

    QTemporaryDir folder;
    dialogs.pdfFile = folder.filePath("table.pdf");
    form->BitBtn1Click();
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", dialogs.pdfFile, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString page = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(page.contains("Titration"));
    EXPECT_TRUE(page.contains("Volume/ml"));
    EXPECT_TRUE(page.contains(printed.last().first())) << "last volume on the printed table";

    form->resize(900, 700);
    form->show();
    control<QTabWidget>("PageControl1")->setCurrentIndex(2);
    const QImage curve = control<QLabel>("Titrationskurve")->pixmap().toImage();
    ASSERT_GT(curve.width(), 400);
    QSet<QRgb> colours;
    for (int y = 0; y < curve.height(); y += 2)
        for (int x = 0; x < curve.width(); x += 2)
            colours.insert(curve.pixel(x, y));
    EXPECT_GE(colours.size(), 3); // background, axes and text, the curves

    dialogs.saveAnswer = folder.filePath("titration.txt");
    form->Save1Click();
    QFile saved(dialogs.saveAnswer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), form->terminalText().text());

    // The report names the sample of the run dialog and agrees with the titrator's own result.
    dialogs.saveAnswer = folder.filePath("report.pdf");
    form->ExportReport1Click();
    pdftotext.start("pdftotext", {"-layout", dialogs.saveAnswer, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString report = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(report.contains("Sample weight: 0.2 g") && report.contains("Identification: 3"))
        << report.toStdString();
    const QRegularExpressionMatch found = QRegularExpression("EQP 1: (\\d+\\.\\d+) ml").match(report);
    const QRegularExpressionMatch instrument = QRegularExpression("EQP 1 +V = +(\\d+\\.\\d+) mL").match(text);
    ASSERT_TRUE(found.hasMatch() && instrument.hasMatch());
    EXPECT_NEAR(found.captured(1).toDouble(), instrument.captured(1).toDouble(), 0.01);
}
