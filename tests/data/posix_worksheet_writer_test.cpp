// A worksheet save that a full disk cuts short, made with a POSIX file size limit.

#include "tests/common/file_size_limit.h"
#include "tests/data/worksheet_writer_fixture.h"

#include <QDir>

namespace {

TEST_F(WorksheetWriterTest, AFailedWriteIsReportedAndLeavesTheOldFileWhole)
{
    const QString name = path("old.xls");
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    // A file size limit cuts the write short as a full disk would: in the last flush of a small
    // table, and part way through a table larger than the file's buffer.
    const QList<QStringList> large(5000, QStringList{"1.000", "0.100"});
    for (const auto &[limit, table] : {std::pair{100, tableOf(resultTable)}, std::pair{20000, tableOf(large)}}) {
        QString error;
        bool written = false;
        {
            const FileSizeLimit cut(limit);
            written = WorksheetWriter::SaveGridAsExcel(table, name, error);
        }

        EXPECT_FALSE(written) << limit;
        // The file and the system's reason, as the other saves name them.
        EXPECT_TRUE(error.startsWith("Cannot create file \"" + name + "\". File too large")) << error.toStdString();
        EXPECT_EQ(readAll(name), "old content");
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"old.xls"});
    }
}

} // namespace
