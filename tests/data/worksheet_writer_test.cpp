#include "common/cp1252.h"
#include "data/table_snapshot.h"
#include "data/worksheet_writer.h"
#include "tests/data/table_output_support.h"
#include "tests/data/worksheet_writer_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace table_output_test;

TEST_F(WorksheetWriterTest, WritesTheRecordsByteForByteInColumnOrder)
{
    const QByteArray expected = QByteArray::fromHex("09 08 08 00 00 00 10 00 00 00 00 00"
                                                    "42 00 02 00 e4 04"
                                                    "04 02 09 00 00 00 00 00 00 00 01 00 41"
                                                    "04 02 0b 00 01 00 00 00 00 00 03 00 31 2c 35"
                                                    "04 02 0a 00 00 00 01 00 00 00 02 00 42 2c"
                                                    "04 02 08 00 01 00 01 00 00 00 00 00"
                                                    "0a 00 00 00");
    EXPECT_EQ(readAll(save(tableOf({{"A", "B."}, {"1.5", ""}}))).toHex(' ').toStdString(),
              expected.toHex(' ').toStdString());
}

TEST_F(WorksheetWriterTest, FiveColumnsByThreeRowsGiveFifteenCellsInColumnOrder)
{
    const QByteArray file = readAll(save(tableOf(resultTable)));
    int textBytes = 0;
    for (const QStringList &row : resultTable)
        for (const QString &cell : row)
            textBytes += static_cast<int>(cp1252::encode(cell).size());
    ASSERT_EQ(file.size(), 12 + 6 + 15 * 12 + textBytes + 4);
    EXPECT_TRUE(file.startsWith(QByteArray::fromHex("090808000000100000000000"
                                                    "42000200e404")));
    EXPECT_TRUE(file.endsWith(QByteArray::fromHex("0a000000")));

    int offset = 18;
    for (int c = 0; c < 5; ++c) {
        for (int r = 0; r < 3; ++r) {
            const auto word = [&](int i) { return qFromLittleEndian<quint16>(file.constData() + offset + 2 * i); };
            ASSERT_EQ(word(0), 0x0204);
            EXPECT_EQ(word(2), r);
            EXPECT_EQ(word(3), c);
            EXPECT_EQ(word(4), 0);
            EXPECT_EQ(word(1), 8 + word(5));
            offset += 12 + word(5);
        }
    }
    EXPECT_EQ(offset, file.size() - 4);
}

TEST(WorksheetCellText, IsWindows1252WithEveryPointWrittenAsAComma)
{
    const QList<std::pair<QString, QByteArray>> cases = {
        {"7.000", "7,000"},
        {"1.2.3", "1,2,3"},
        {"12,5", "12,5"},
        {"", ""},
        {"..", ",,"},
        {QString::fromUtf8("Säure €"), "S\xE4ure \x80"},
        {"Volume/ml", "Volume/ml"},
    };
    for (const auto &[text, bytes] : cases) {
        QString error;
        QTemporaryDir dir;
        const QString name = dir.filePath("cell.xls");
        ASSERT_TRUE(WorksheetWriter::SaveGridAsExcel(tableOf({{text}}), name, error));
        EXPECT_EQ(readAll(name).mid(30, bytes.size() + 4), bytes + QByteArray::fromHex("0a000000"))
            << text.toStdString();
    }
}

TEST(WorksheetLabel, StopsWhenTheStreamRefusesTheRecord)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(WorksheetWriter::WriteExcelLabel(readOnly, 0, 0, "x"));
}

TEST_F(WorksheetWriterTest, ARealSpreadsheetReaderWithItsDefaultsShowsEveryCell)
{
    const QString file = save(tableOf(resultTable));
    const QString script = QStringLiteral("import json, sys, xlrd\n"
                                          "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                                          "print(json.dumps([[s.cell_value(r, c) for c in range(s.ncols)]"
                                          " for r in range(s.nrows)]))\n");
    const ToolResult result = runTool(debianPython(), {"-c", script, file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();

    const QJsonArray rows = QJsonDocument::fromJson(result.out).array();
    ASSERT_EQ(rows.size(), resultTable.size());
    for (int r = 0; r < rows.size(); ++r) {
        QStringList expected = resultTable[r];
        expected.replaceInStrings(".", ",");
        EXPECT_EQ(rows[r].toVariant().toStringList(), expected) << "row " << r;
    }
}

TEST_F(WorksheetWriterTest, AFileThatCannotBeCreatedIsReportedByName)
{
    const QString name = path("missing-folder/table.xls");
    QString error;
    EXPECT_FALSE(WorksheetWriter::SaveGridAsExcel(tableOf(resultTable), name, error));
    EXPECT_EQ(error, "Cannot create file " + name);
}

TEST_F(WorksheetWriterTest, RefusesWhatTheRecordsCannotHoldAndLeavesTheFileAlone)
{
    struct Case
    {
        const char *what;
        TableSnapshot table;
        QString named;
    };
    QList<QStringList> tallColumn(WorksheetWriter::maxRows + 1, QStringList{"1.0"});
    QList<QStringList> longCell = {{"Volume/ml", "Increment/ml"},
                                   {"", QString(WorksheetWriter::maxCellBytes + 1, 'x')}};
    // Each non-ASCII character is one byte in the file, so the limit counts bytes of Windows-1252.
    QList<QStringList> longUmlauts = {{QString(WorksheetWriter::maxCellBytes + 1, QChar(0xE4))}};
    const QList<Case> cases = {
        {"too many rows", tableOf(tallColumn), "at most 16384 rows"},
        {"too long a cell", tableOf(longCell), "row 1, column 2"},
        {"too long a cell of umlauts", tableOf(longUmlauts), "row 0, column 1"},
    };
    const QString name = path("kept.xls");
    for (const Case &c : cases) {
        {
            QFile old(name);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        QString error;
        EXPECT_FALSE(WorksheetWriter::SaveGridAsExcel(c.table, name, error)) << c.what;
        EXPECT_TRUE(error.contains(c.named)) << c.what << ": " << error.toStdString();
        EXPECT_EQ(readAll(name), "old content") << c.what;
    }
}

TEST_F(WorksheetWriterTest, WritesTablesRightAtTheLimits)
{
    const QList<QStringList> tallest(WorksheetWriter::maxRows, QStringList{"1"});
    EXPECT_EQ(readAll(save(tableOf(tallest), "tall.xls")).size(), 18 + WorksheetWriter::maxRows * 13 + 4);

    const QString longest(WorksheetWriter::maxCellBytes, 'x');
    const QByteArray file = readAll(save(tableOf({{longest}}), "long.xls"));
    ASSERT_EQ(file.size(), 18 + 12 + WorksheetWriter::maxCellBytes + 4);
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 20), 0xFFFF);
}
