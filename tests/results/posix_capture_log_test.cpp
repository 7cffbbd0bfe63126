#include "results/capture_log.h"
#include "tests/common/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CaptureLog, AFullDiskLosesWholeClustersAndTheGapIsMarkedWhenWritingResumes)
{
    QTemporaryDir dir;
    QDateTime now(QDate(2024, 5, 6), QTime(10, 0, 0));
    CaptureLog log(dir.path(), [&now] { return now; });
    const QString file = QDir(dir.path()).filePath("2024-05-06.txt");
    const auto content = [&file] {
        QFile capture(file);
        return capture.open(QIODevice::ReadOnly) ? capture.readAll() : QByteArray();
    };

    const QByteArray kept = "line 1\r\nhalf a line";
    EXPECT_EQ(log.append(kept, "Ready"), std::nullopt);
    std::optional<QString> failure;
    {
        // Room for a few more bytes only, as on a full disk.
        const FileSizeLimit cut(kept.size() + 10);
        now = now.addSecs(5);
        failure = log.append(QByteArray(100, 'x'), "Ready");
        now = now.addSecs(5);
        EXPECT_EQ(log.append("lost too\r\n", *failure), std::nullopt) << "reported once";
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Capture log not written - " + QDir::toNativeSeparators(file) + ": File too large");
    EXPECT_EQ(content(), kept) << "nothing of a cluster that did not fit";

    now = now.addSecs(5);
    EXPECT_EQ(log.append("line 3\r\n", *failure), QString()) << "the failure is no longer shown";
    const QByteArray gap = "[Korvane capture gap: 110 bytes received from 2024-05-06 10:00:05 to 2024-05-06 10:00:10 "
                           "are missing here - File too large]\r\n";
    EXPECT_EQ(content(), kept + "\r\n" + gap + "line 3\r\n");
    // A status that replaced the failure's stays.
    EXPECT_EQ(log.append("line 4\r\n", "Ready"), std::nullopt);
}

} // namespace
