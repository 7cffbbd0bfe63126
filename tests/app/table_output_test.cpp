#include "form_fixture.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

const QStringList titles = {"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"};

/// The "Table" page's buttons and the File menu's save entry, as a user reaches them.
class TableOutput : public FormFixture
{
  protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        table = control<QTableWidget>("Table");
    }

    void fill(const QList<QStringList> &rows)
    {
        table->setRowCount(static_cast<int>(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                table->setItem(r + 1, c, new QTableWidgetItem(rows[r][c]));
    }

    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells.append(table->item(r, c) ? table->item(r, c)->text() : QString());
        return cells;
    }

    void click(const char *button) { control<QPushButton>(button)->click(); }

    static QByteArray readAll(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString pdfText(const QString &pdf)
    {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        pdftotext.waitForFinished(60000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    }

    QTemporaryDir dir;
    QTableWidget *table = nullptr;
};

TEST_F(TableOutput, PrintTablePrintsTheWholeTableOnTheChosenPrinter)
{
    fill({{"0.000", "0.000", "4.12", "", ""}, {"0.100", "0.100", "4.20", "0.08", "0.80"}});
    dialogs.pdfFile = dir.filePath("table.pdf");
    click("BitBtn1");

    const QString text = pdfText(dialogs.pdfFile);
    EXPECT_TRUE(text.startsWith("Titration Printed on ")) << text.toStdString();
    EXPECT_TRUE(text.contains(titles.join(' ') + " 0.000 0.000 4.12 0.100 0.100 4.20 0.08 0.80")) << text.toStdString();
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(TableOutput, CancellingThePrintDialogPrintsNothing)
{
    dialogs.printAnswer = false;
    dialogs.pdfFile = dir.filePath("table.pdf");
    click("BitBtn1");
    EXPECT_FALSE(QFile::exists(dialogs.pdfFile));
}

TEST_F(TableOutput, SaveTableAndTheMenuEntryWriteTheWorksheetAndSayTableSaved)
{
    fill({{"7.000", "1.2.3"}});
    const QList<std::function<void()>> ways = {
        [this] { click("SaveTable"); },
        [this] { control<QAction>("SavetoExcel1")->trigger(); },
    };
    for (const auto &save : ways) {
        dialogs.messages.clear();
        dialogs.saveAnswer = dir.filePath(QStringLiteral("table%1.xls").arg(dialogs.saveRequests.size()));
        save();
        ASSERT_FALSE(dialogs.saveRequests.isEmpty());
        EXPECT_EQ(dialogs.saveRequests.last().fileName, "korvanetable");
        EXPECT_EQ(dialogs.saveRequests.last().defaultSuffix, "xls");
        EXPECT_EQ(dialogs.messages, QStringList{"Table saved!"});
        EXPECT_TRUE(readAll(dialogs.saveAnswer).contains("7,000"));
        // The grid keeps its points.
        EXPECT_EQ(row(1).first(), "7.000");
    }
}

TEST_F(TableOutput, OverwritingAsksFirstAndCancelLeavesTheFileUntouched)
{
    dialogs.saveAnswer = dir.filePath("old.xls");
    {
        QFile old(dialogs.saveAnswer);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    answerNextModal("CancelBtn");
    click("SaveTable");
    EXPECT_EQ(readAll(dialogs.saveAnswer), "old content");
    EXPECT_TRUE(dialogs.messages.isEmpty());

    answerNextModal("OKBtn");
    click("SaveTable");
    EXPECT_TRUE(readAll(dialogs.saveAnswer).startsWith(QByteArray::fromHex("0908080000001000")));
    EXPECT_EQ(dialogs.messages, QStringList{"Table saved!"});
}

TEST_F(TableOutput, AFileThatCannotBeCreatedShowsTheErrorInsteadOfTableSaved)
{
    dialogs.saveAnswer = dir.filePath("missing-folder/table.xls");
    click("SaveTable");
    EXPECT_EQ(dialogs.errors, QStringList{"Cannot create file " + dialogs.saveAnswer});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(TableOutput, ClearTableEmptiesTheDataRowsAndKeepsRowsAndTitles)
{
    fill({{"0.000", "0.000", "4.12", "", ""}, {"0.100", "0.100", "4.20", "0.08", "0.80"}});
    click("ClearTable");
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(row(0), titles);
    EXPECT_EQ(row(1), QStringList(5, QString()));
    EXPECT_EQ(row(2), QStringList(5, QString()));

    // Empty rows are still there: saved as empty text cells.
    dialogs.saveAnswer = dir.filePath("cleared.xls");
    click("SaveTable");
    int titleBytes = 0;
    for (const QString &title : titles)
        titleBytes += static_cast<int>(title.size());
    EXPECT_EQ(readAll(dialogs.saveAnswer).size(), 12 + 15 * 12 + titleBytes + 4);
}

} // namespace
