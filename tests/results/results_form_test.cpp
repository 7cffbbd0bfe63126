#include "results/live_curve.h"
#include "terminal/terminal_edit.h"
#include "tests/data/table_output_support.h"
#include "tests/support/form_fixture.h"
#include "tests/support/titration_text.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

const QRgb markerRed = qRgb(0xB0, 0x00, 0x00);

class ResultsFormTest : public FormFixture
{
  protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->resize(688, 626);
        form->show();
    }
    TerminalEdit *terminal() const { return control<TerminalEdit>(QStringLiteral("Terminal")); }
    QImage shown() const { return control<QLabel>(QStringLiteral("Titrationskurve"))->pixmap().toImage(); }
    QString resultLine() const { return control<QLabel>(QStringLiteral("LabelResult"))->text(); }
    /// Changes the page as the user does, with the tab.
    void enterPage(int index) const
    {
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(0);
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(index);
    }
    static int count(const QImage &image, QRgb colour)
    {
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found += image.pixel(x, y) == colour;
        return found;
    }
    /// Runs a reader of the file and returns what it printed.
    static QString run(const QString &program, const QStringList &arguments)
    {
        const table_output_test::ToolResult result = table_output_test::runTool(program, arguments);
        EXPECT_EQ(result.exitCode, 0) << program.toStdString() << ": " << result.err.toStdString();
        return QString::fromUtf8(result.out);
    }
    QTemporaryDir dir;
};

TEST_F(ResultsFormTest, TheCurveFollowsTheGrowingRecordUntilTheTableIsEdited)
{
    const QList<QByteArray> lines = titrationLines(70);
    // The user waits on the curve page for the titration to begin.
    enterPage(2);
    advance(LiveCurve::intervalMs);
    terminal()->appendReceived(titrationHeader() + lines.mid(0, 10).join());
    EXPECT_EQ(form->DataRowCount, 10);
    EXPECT_EQ(resultLine(), "No clear equivalence point");
    dialogs.saveAnswer = dir.filePath("growing.csv");
    form->SaveasCSV1Click();
    EXPECT_TRUE(dialogs.saveRequests.last().fileName.endsWith(" record 1.csv"));

    advance(LiveCurve::intervalMs);
    terminal()->appendReceived(lines.mid(10, 50).join());
    EXPECT_EQ(form->DataRowCount, 60);
    EXPECT_TRUE(QRegularExpression("^EQP 1: 9\\.7\\d ml, pH \\d\\.\\d\\d$").match(resultLine()).hasMatch())
        << resultLine().toStdString();
    EXPECT_GT(count(shown(), markerRed), 50);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Not again within the interval, and then with everything that came meanwhile.
    terminal()->appendReceived(lines.mid(60, 2).join());
    EXPECT_EQ(form->DataRowCount, 60);
    advance(LiveCurve::intervalMs);
    terminal()->appendReceived(lines.mid(62, 2).join());
    EXPECT_EQ(form->DataRowCount, 64);

    // The user edits the table and shows it: the edit stays, the curve no longer follows.
    enterPage(1);
    cells().setCell(3, 2, "9.99");
    form->Graph2Click();
    advance(LiveCurve::intervalMs);
    terminal()->appendReceived(lines.mid(64).join());
    EXPECT_EQ(form->DataRowCount, 64);
    EXPECT_EQ(cells().cell(3, 2), "9.99");
}

TEST_F(ResultsFormTest, MarkersSwitchOffToThePlainPictureAndStayOffThePicturesButtons)
{
    terminal()->appendReceived(titrationRecord(60));
    enterPage(2);
    const QImage marked = shown();
    EXPECT_GT(count(marked, markerRed), 50);
    // The caption toggles the box as the box itself does.
    emit control<QLabel>(QStringLiteral("LabelMarkEquivalencePoints"))->linkActivated("mark");
    const QImage plain = shown();
    EXPECT_EQ(count(plain, markerRed), 0);
    // Only marker pixels differ.
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (const QColor m = marked.pixelColor(x, y); plain.pixel(x, y) != m.rgb()) {
                ASSERT_TRUE(m.green() == m.blue() && m.red() >= m.green()) << x << "," << y;
            }
        }
    }

    dialogs.saveAnswer = dir.filePath("Curve.bmp");
    form->SaveClick();
    // Saved at its own size, as drawn last: without markers.
    const QImage saved = QImage(dialogs.saveAnswer).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved.size(), TForm1::kSavedCurveSize);
    EXPECT_EQ(count(saved, markerRed), 0);
    EXPECT_GT(count(saved, qRgb(0, 0, 0)), 100);

    const QWidget *picture = control<QLabel>(QStringLiteral("Titrationskurve"));
    for (const char *name : {"BtPrintCurve", "Save", "MarkEquivalencePoints", "LabelMarkEquivalencePoints"}) {
        const QWidget *widget = control<QWidget>(QString::fromLatin1(name));
        EXPECT_GT(widget->mapTo(picture->parentWidget(), QPoint(0, 0)).x(), picture->geometry().right()) << name;
        EXPECT_LE(widget->mapTo(form.get(), QPoint(widget->width(), 0)).x(), form->width()) << name;
    }
}

TEST_F(ResultsFormTest, CsvAndXlsxHoldNumbersAsNumbersAndTheResults)
{
    form->runStarted({"0.2000", "3"});
    terminal()->appendReceived(titrationRecord(60));
    enterPage(1);
    cells().setCell(2, 3, "a, \"b\"");

    dialogs.saveAnswer = dir.filePath("t.csv");
    form->SaveasCSV1Click();
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_TRUE(QRegularExpression("^Titration \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d record 1\\.csv$")
                    .match(dialogs.saveRequests[0].fileName)
                    .hasMatch())
        << dialogs.saveRequests[0].fileName.toStdString();
    const QString csv = run(table_output_test::debianPython(),
                            {"-c",
                             "import csv, sys\n"
                             "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
                             "print(len(rows), rows[0], rows[2][3], rows[60][0], float(rows[60][2]))",
                             dialogs.saveAnswer});
    EXPECT_EQ(csv.toStdString(), QString("61 ['Volume/ml', 'Increment/ml', 'Signal/pH', 'Change/pH', 'Derivative'] "
                                         "a, \"b\" %1 %2\n")
                                     .arg(cells().cell(60, 0), cells().cell(60, 2))
                                     .toStdString());

    dialogs.saveAnswer = dir.filePath("t.xlsx");
    form->SaveasXLSX1Click();
    EXPECT_TRUE(dialogs.saveRequests.last().fileName.endsWith(" record 1.xlsx"));
    const QString workbook = run(table_output_test::debianPython(),
                                 {"-c",
                                  "import openpyxl, sys\n"
                                  "book = openpyxl.load_workbook(sys.argv[1])\n"
                                  "table, results = book['Table'], book['Results']\n"
                                  "print(book.sheetnames, table.max_row, table['A1'].value, table['A1'].font.b,\n"
                                  "      type(table['C61'].value).__name__, table['C61'].value, table['A2'].font.b)\n"
                                  "print([[c.value for c in row] for row in results.iter_rows()])",
                                  dialogs.saveAnswer});
    EXPECT_TRUE(workbook.startsWith("['Table', 'Results'] 61 Volume/ml True float " + cells().cell(60, 2) + " False\n"))
        << workbook.toStdString();
    EXPECT_TRUE(QRegularExpression("\\[\\['EQP', 'Volume/ml', 'Signal/pH'\\], \\[1, 9\\.7\\d+, \\d\\.\\d+\\], .*"
                                   "\\['Sample weight/g', 0\\.2, None\\], \\['Identification', 3, None\\]")
                    .match(workbook)
                    .hasMatch())
        << workbook.toStdString();

    // Kept without the user's word, replaced with it.
    QFile::resize(dialogs.saveAnswer, 10);
    answerNextModal("CancelBtn");
    form->SaveasXLSX1Click();
    EXPECT_EQ(QFileInfo(dialogs.saveAnswer).size(), 10);
    answerNextModal("OKBtn");
    form->SaveasXLSX1Click();
    EXPECT_GT(QFileInfo(dialogs.saveAnswer).size(), 1000);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(ResultsFormTest, TheReportHasEveryPartAndContinuesTheTableOverPages)
{
    form->runStarted({"0.2000", "3"});
    terminal()->appendReceived(titrationRecord(120));
    enterPage(2);
    dialogs.saveAnswer = dir.filePath("report.pdf");
    form->ExportReport1Click();
    EXPECT_TRUE(dialogs.saveRequests.last().fileName.endsWith(" record 1.pdf"));
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(' ').toStdString();

    const QString text = run("pdftotext", {"-layout", dialogs.saveAnswer, "-"});
    for (const QString &part : {QString("Titration Report"), QString("Printed "), QString("Data record 1"),
                                QString("Sample weight: 0.2000 g"), QString("Identification: 3"), QString("Results"),
                                QString("Measuring table"), QString("Volume/ml"), resultLine(), QString("(continued)"),
                                cells().cell(120, 0), QString("Page 4 of 4")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
    // The column titles head every page.
    EXPECT_EQ(text.count("Volume/ml"), 4);
    EXPECT_TRUE(run("pdfinfo", {dialogs.saveAnswer}).contains(QRegularExpression("Pages: +4\n")));

    // The first page shows the curve with its marked point and the grey title band of the table.
    run("pdftoppm", {"-png", "-r", "150", "-f", "1", "-l", "1", dialogs.saveAnswer, dir.filePath("page")});
    const QImage page(dir.filePath("page-1.png"));
    ASSERT_FALSE(page.isNull());
    int red = 0;
    int grey = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor colour = page.pixelColor(x, y);
            red += colour.red() > colour.green() + 60 && colour.red() > colour.blue() + 60;
            grey += colour == QColor(0xC0, 0xC0, 0xC0);
        }
    }
    EXPECT_GT(red, 40);
    EXPECT_GT(grey, 500);
}

} // namespace
