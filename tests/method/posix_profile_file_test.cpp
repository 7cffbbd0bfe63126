// Method files where POSIX permissions, another user and a full disk refuse the write.

#include "method/method_error.h"
#include "tests/common/file_size_limit.h"
#include "tests/method/profile_file_fixture.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST_F(ProfileFileTest, ARefusedWriteNamesTheFileAndChangesNothing)
{
    setBytes("[1]\r\nSpecialModes=3\r\n");
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const ProfileFile inFile(m_dir.filePath("method.ini/1.ini"));
    for (const ProfileFile &file : {m_file, inFile}) {
        try {
            file.writeInteger("1", "SpecialModes", 4);
            ADD_FAILURE() << "no error for " << file.path().toStdString();
        } catch (const MethodError &error) {
            EXPECT_EQ(error.message(), "Unable to write to " + file.path());
        }
    }
    EXPECT_EQ(bytes(), QByteArray("[1]\r\nSpecialModes=3\r\n"));
}

// Root creates files in any folder, so the folder that takes no new files is tried as another user,
// in a child process that also has its file writes cut short as a full disk would.
TEST_F(ProfileFileTest, AFolderThatTakesNoNewFilesIsWrittenInPlaceAndAFailedWriteKeepsTheOldContents)
{
    setBytes("[0]\r\nMethod Name=Old\r\n[1]\r\nSpecialModes=3\r\n");
    constexpr uid_t kNobody = 65534;
    ASSERT_EQ(chown(QFile::encodeName(m_path).constData(), kNobody, kNobody), 0);
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setresgid(kNobody, kNobody, kNobody) != 0 || setresuid(kNobody, kNobody, kNobody) != 0)
            _exit(2);
        m_file.writeInteger("1", "SpecialModes", 4);
        const FileSizeLimit cut(100);
        try {
            m_file.writeString("0", "Method Name", QString(200, 'N'));
        } catch (const MethodError &error) {
            _exit(error.message() == "Unable to write to " + m_path ? 0 : 3);
        }
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    EXPECT_EQ(bytes(), "[0]\r\nMethod Name=Old\r\n[1]\r\nSpecialModes=4\r\n");
}

} // namespace
