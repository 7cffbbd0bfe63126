// Method files against what a POSIX file system can put in their place: read-only files, a full
// disk, links, pipes and devices.

#include "method/method_error.h"
#include "method/profile_file.h"
#include "tests/common/file_size_limit.h"
#include "tests/method/method_files_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>

namespace {

TEST_F(MethodFilesTest, ARefusedWriteNamesTheMethodFileAndKeepsTheRememberedSlot)
{
    setBytes("3.ini", "[0]\r\nMethod Name=Locked\r\n");
    QFile::setPermissions(path("3.ini"), QFileDevice::ReadOwner);
    try {
        sampleMethod().IniFileSave(m_folder, 3);
        ADD_FAILURE() << "no error";
    } catch (const MethodError &error) {
        EXPECT_EQ(error.message(), "Unable to write to " + path("3.ini"));
    }
    EXPECT_EQ(bytes("3.ini"), "[0]\r\nMethod Name=Locked\r\n");
    EXPECT_EQ(m_folder.rememberedSlot(), 3);
}

TEST_F(MethodFilesTest, AFolderThatCannotBeMadeRefusesTheWrite)
{
    test_files::write(m_folder.path(), "a file where the folder should be");
    EXPECT_THROW(MethodSettings().IniFileSave(m_folder, 3), MethodError);
}

TEST_F(MethodFilesTest, AWriteTheDiskCutsShortIsReportedAndLeavesTheOldFileWhole)
{
    setBytes("3.ini", kSampleFile);
    try {
        const FileSizeLimit cut(100);
        MethodSettings().IniFileSave(m_folder, 3);
        ADD_FAILURE() << "no error";
    } catch (const MethodError &error) {
        EXPECT_EQ(error.message(), "Unable to write to " + path("3.ini"));
    }
    EXPECT_EQ(bytes("3.ini"), kSampleFile);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList({"3.ini", "LastModified.ini"}));
}

TEST_F(MethodFilesTest, PlantedLinksAreReadThroughButNeverWrittenThrough)
{
    QTemporaryDir outside;
    const QString method = outside.filePath("victim.ini");
    const QString remembered = outside.filePath("remembered.ini");
    test_files::write(method, "[0]\r\nMethod Name=Outside\r\n");
    test_files::write(remembered, "[Last Modified]\r\nMethod=3\r\n");
    QDir().mkpath(m_folder.path());
    QFile::link(method, path("3.ini"));
    QFile::link(remembered, path("LastModified.ini"));

    MethodSettings read;
    EXPECT_EQ(read.loadAtCreation(m_folder), 3);
    EXPECT_EQ(read.name(), "Outside");
    for (const QString &link : {path("LastModified.ini"), path("3.ini")}) {
        try {
            sampleMethod().IniFileSave(m_folder, 3);
            ADD_FAILURE() << "written through " << link.toStdString();
        } catch (const MethodError &error) {
            EXPECT_EQ(error.message(), "Unable to write to " + link);
        }
        // The slot file's refusal shows once the slot can be remembered.
        QFile::remove(path("LastModified.ini"));
    }
    EXPECT_EQ(test_files::read(method), "[0]\r\nMethod Name=Outside\r\n");
    EXPECT_EQ(test_files::read(remembered), "[Last Modified]\r\nMethod=3\r\n");
    EXPECT_EQ(QFile::symLinkTarget(path("3.ini")), method);
}

/// Something in the method folder that is not a method file, as a shared folder or a broken copy
/// leaves it; made with the content a method file of that name would have.
struct HostileFile
{
    const char *what;
    std::function<void(const QString &path, const QByteArray &content)> make;
};

void PrintTo(const HostileFile &file, std::ostream *out)
{
    *out << file.what;
}

class HostileFileTest : public MethodFilesTest, public ::testing::WithParamInterface<HostileFile>
{
  protected:
    /// Type, size and link target, to see that nothing was written.
    static QString fingerprint(const QString &path)
    {
        struct stat info{};
        lstat(QFile::encodeName(path).constData(), &info);
        return QString("%1 %2 %3").arg(info.st_mode).arg(info.st_size).arg(QFile::symLinkTarget(path));
    }
};

TEST_P(HostileFileTest, ReadsAsMissingAtOnceAndRefusesSavesUntouched)
{
    QDir().mkpath(m_folder.path());
    GetParam().make(path("3.ini"), "[0]\r\nMethod Name=Acid\r\n");
    GetParam().make(path("LastModified.ini"), "[Last Modified]\r\nMethod=3\r\n");
    const QString slotFile = fingerprint(path("3.ini"));
    const QString lastModified = fingerprint(path("LastModified.ini"));

    EXPECT_EQ(m_folder.slotNames()[3], "3. Free");
    MethodSettings method;
    EXPECT_EQ(method.loadAtCreation(m_folder), -1);
    method.setName("typed");
    ASSERT_TRUE(method.IniFileLoadPreview(m_folder, 3));
    EXPECT_EQ(method.name(), "3. Free");
    expectStartValues(method);

    const QString oversized = "Not read, larger than 1 MiB: " + path("3.ini") + ", " + path("LastModified.ini");
    EXPECT_EQ(m_folder.oversizedWarning(), std::string(GetParam().what) == "oversized" ? oversized : "");

    const auto expectRefused = [this](const QString &file) {
        try {
            sampleMethod().IniFileSave(m_folder, 3);
            ADD_FAILURE() << "no error for " << file.toStdString();
        } catch (const MethodError &error) {
            EXPECT_EQ(error.message(), "Unable to write to " + file);
        }
    };
    expectRefused(path("LastModified.ini"));
    EXPECT_EQ(fingerprint(path("LastModified.ini")), lastModified);
    // The slot file's refusal shows once the slot can be remembered.
    QFile::remove(path("LastModified.ini"));
    expectRefused(path("3.ini"));
    EXPECT_EQ(fingerprint(path("3.ini")), slotFile);
    EXPECT_EQ(m_folder.rememberedSlot(), 3);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"3.ini", "LastModified.ini"}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HostileFileTest,
    ::testing::Values(
        HostileFile{"fifo", [](const QString &path, const QByteArray &) { mkfifo(QFile::encodeName(path), 0644); }},
        HostileFile{"device", [](const QString &path, const QByteArray &) { QFile::link("/dev/null", path); }},
        HostileFile{"oversized",
                    [](const QString &path, const QByteArray &content) {
                        test_files::write(path, content + ';' + QByteArray(ProfileFile::kMaxSize, 'x') + "\r\n");
                    }}),
    [](const ::testing::TestParamInfo<HostileFile> &info) { return std::string(info.param.what); });

} // namespace
