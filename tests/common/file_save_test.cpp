#include "common/file_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(FileSave, CopyReplacesTheTargetOnlyWithAWholeBuiltFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("report.pdf");
    const QString built = dir.filePath("built.pdf");
    writeFile(target, "old report");

    FileSave missing(target);
    EXPECT_EQ(missing.copy(dir.filePath("not-made.pdf")), FileSave::Status::NotWritten);
    EXPECT_EQ(contentOf(target), "old report");
    // The message names the file as the system writes paths.
    const QString named = "Cannot create file \"" + QDir::toNativeSeparators(target) + "\". ";
    EXPECT_TRUE(missing.failureMessage().startsWith(named));
    EXPECT_GT(missing.failureMessage().size(), named.size());

    writeFile(built, "new report");
    EXPECT_EQ(FileSave(target).copy(built), FileSave::Status::Saved);
    EXPECT_EQ(contentOf(target), "new report");
}

TEST(FileSave, ALibraryBuildsTheFileBesideTheTargetAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("book.xlsx");
    writeFile(target, "old book");

    FileSave refused(target);
    EXPECT_EQ(refused.build([](const QString &) { return QStringLiteral("Worksheet name is too long."); }),
              FileSave::Status::NotWritten);
    EXPECT_EQ(refused.failureMessage(),
              "Cannot create file \"" + QDir::toNativeSeparators(target) + "\". Worksheet name is too long.");
    EXPECT_EQ(contentOf(target), "old book");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.xlsx"});

    QString scratch;
    const auto build = [&scratch](const QString &scratchFile) {
        scratch = scratchFile;
        QFile file(scratchFile);
        return file.open(QIODevice::WriteOnly) && file.write("new book") == 8 ? QString() : file.errorString();
    };
    EXPECT_EQ(FileSave(target).build(build), FileSave::Status::Saved);
    EXPECT_EQ(QFileInfo(scratch).path(), dir.path());
    EXPECT_EQ(contentOf(target), "new book");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.xlsx"});
}
