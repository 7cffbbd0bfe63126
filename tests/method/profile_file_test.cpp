#include "method/method_error.h"
#include "method/profile_file.h"
#include "tests/method/profile_file_fixture.h"
#include "tests/method/test_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

namespace {

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

} // namespace
