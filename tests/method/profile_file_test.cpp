#include "method/method_error.h"
#include "method/profile_file.h"
#include "tests/common/file_size_limit.h"
#include "tests/method/test_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ProfileFileTest : public ::testing::Test
{
  protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath("method.ini");
    ProfileFile m_file{m_path};

    QByteArray bytes() const { return test_files::read(m_path); }
    void setBytes(const QByteArray &bytes) const { test_files::write(m_path, bytes); }
};

TEST_F(ProfileFileTest, ReadingAMissingFileGivesTheDefaultAndCreatesNothing)
{
    const ProfileFile inMissingFolder(m_dir.filePath("Config/1.ini"));
    EXPECT_EQ(m_file.readString("0", "Method Name", "1. Free"), "1. Free");
    EXPECT_EQ(inMissingFolder.readInteger("1", "SpecialModes", 7), 7);
    EXPECT_FALSE(QFile::exists(m_path));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("Config")));
}

TEST_F(ProfileFileTest, LooksUpNamesWithoutRegardToCaseAndTrimsValues)
{
    setBytes("; comment=1\n"
             "key=outside any section\n"
             "[ Other ]\n"
             "Key=other\n"
             "  [B\xDCRETTE]  \n"
             "  volume =  \t 20 mL  \n"
             "broken line\n"
             "[bürette]\n"
             "Later=ignored, only the first section of a name counts\n");
    EXPECT_EQ(m_file.readString(QString::fromUtf8("Bürette"), "VOLUME", "-"), "20 mL");
    EXPECT_EQ(m_file.readString("other", "KEY", "-"), "other");
    EXPECT_EQ(m_file.readString(QString::fromUtf8("bürette"), "Later", "-"), "-");
    EXPECT_EQ(m_file.readString("other", "; comment", "-"), "-");
}

TEST_F(ProfileFileTest, AKeyWithAnEmptyValueIsNotMissing)
{
    setBytes("[0]\r\nMethod Name=\r\n");
    EXPECT_EQ(m_file.readString("0", "Method Name", "0. Free"), "");
}

struct IntegerCase
{
    const char *stored;
    int expected;
};

void PrintTo(const IntegerCase &c, std::ostream *out)
{
    *out << '"' << c.stored << '"';
}

class ProfileIntegerTest : public ProfileFileTest, public ::testing::WithParamInterface<IntegerCase>
{
};

TEST_P(ProfileIntegerTest, ReadsDecimalOrHexadecimalElseTheDefault)
{
    setBytes(QByteArray("[1]\nValue=") + GetParam().stored + "\n");
    EXPECT_EQ(m_file.readInteger("1", "Value", 42), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntegerTest,
                         ::testing::Values(IntegerCase{"12", 12}, IntegerCase{"-1", -1}, IntegerCase{"+5", 5},
                                           IntegerCase{"0050", 50}, IntegerCase{"0x1", 1}, IntegerCase{"0X1f", 31},
                                           IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"2147483647", 2147483647},
                                           IntegerCase{"", 42}, IntegerCase{"abc", 42}, IntegerCase{"1.5", 42},
                                           IntegerCase{"12abc", 42}, IntegerCase{"1 2", 42}, IntegerCase{"0x", 42},
                                           IntegerCase{"0x1g", 42}, IntegerCase{"0x100000000", 42},
                                           IntegerCase{"2147483648", 42}, IntegerCase{"+-5", 42},
                                           IntegerCase{"-0x1", 42}, IntegerCase{"$1F", 42}, IntegerCase{"'7'", 7},
                                           IntegerCase{"\"0x10\"", 16}, IntegerCase{"\"7'", 42}));

TEST_F(ProfileFileTest, DropsOnePairOfMatchingQuotesAsWindowsDoes)
{
    setBytes("[0]\nA= \"Acid 1\" \nB=' spaced '\nC=\"mixed'\nD=\"\nE=''\nF=\"\"twice\"\"\nG=in \"the\" middle\n");
    const std::pair<const char *, const char *> expected[] = {{"A", "Acid 1"}, {"B", " spaced "},  {"C", "\"mixed'"},
                                                              {"D", "\""},      {"E", ""},          {"F", "\"twice\""},
                                                              {"G", "in \"the\" middle"}};
    for (const auto &[key, value] : expected)
        EXPECT_EQ(m_file.readString("0", key, "-"), value) << key;
}

TEST_F(ProfileFileTest, WritesANewFileWithWindowsLineEndsAndCodePage)
{
    m_file.writeString("0", "Method Name", QString::fromUtf8("Säure"));
    m_file.writeInteger("4", QString::fromUtf8("BüretteVolume"), -1);
    m_file.writeString("4", "MaximalVolume", "50");
    EXPECT_EQ(bytes(), QByteArray("[0]\r\nMethod Name=S\xE4ure\r\n[4]\r\nB\xFCretteVolume=-1\r\nMaximalVolume=50\r\n"));
}

TEST_F(ProfileFileTest, ReplacesInPlaceAppendsToTheSectionAndKeepsForeignLines)
{
    setBytes("; written by hand\n"
             "[1]\n"
             "  specialmodes = 3 \n"
             "Unknown=x\n"
             "\n"
             "[2]\n"
             "MaxIncrement=1");
    m_file.writeInteger("1", "SpecialModes", 5);
    m_file.writeInteger("1", "Measurement", 1);
    m_file.writeInteger("2", "Balance", -1);
    m_file.writeInteger("3", "PredosageVolume", 205);
    EXPECT_EQ(bytes(), QByteArray("; written by hand\r\n"
                                  "[1]\r\n"
                                  "specialmodes=5\r\n"
                                  "Unknown=x\r\n"
                                  "Measurement=1\r\n"
                                  "\r\n"
                                  "[2]\r\n"
                                  "MaxIncrement=1\r\n"
                                  "Balance=-1\r\n"
                                  "[3]\r\n"
                                  "PredosageVolume=205\r\n"));
}

TEST_F(ProfileFileTest, LineBreaksInAValueCannotAddSectionsOrKeys)
{
    m_file.writeString("0", "Method Name", "Acid\r\n[1]\nSpecialModes=9\r");
    EXPECT_EQ(bytes(), QByteArray("[0]\r\nMethod Name=Acid  [1] SpecialModes=9 \r\n"));
    EXPECT_EQ(m_file.readString("0", "Method Name", ""), "Acid  [1] SpecialModes=9");
    EXPECT_EQ(m_file.readInteger("1", "SpecialModes", 0), 0);
}

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
