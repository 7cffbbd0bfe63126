#pragma once

// What the worksheet tests share: a temporary folder to save into and a result table.

#include "data/table_snapshot.h"
#include "data/worksheet_writer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>


inline TableSnapshot tableOf(const QList<QStringList> &rows)
{
    TableSnapshot table;
    table.rows = rows;
    return table;
}

inline QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline const QList<QStringList> resultTable = {
    {"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"},
    {"0.000", "0.000", "4.12", "", ""},
    {"7.000", "1.2.3", "12,5", QString::fromUtf8("Säure µ €"), "-0.15"},
};

class WorksheetWriterTest : public ::testing::Test
{
  protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString save(const TableSnapshot &table, const QString &name = QStringLiteral("table.xls"))
    {
        QString error;
        EXPECT_TRUE(WorksheetWriter::SaveGridAsExcel(table, path(name), error)) << error.toStdString();
        return path(name);
    }

    QTemporaryDir m_dir;
};
