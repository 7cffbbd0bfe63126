#include "method/method_error.h"
#include "method/method_folder.h"
#include "method/method_settings.h"
#include "method/profile_file.h"
#include "tests/method/method_files_fixture.h"
#include "tests/method/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

TEST_F(MethodFilesTest, AnEmptyFolderNamesEverySlotFreeAndLoadsStartValues)
{
    QStringList free;
    for (int slot = 0; slot <= 50; ++slot)
        free.append(QString::number(slot) + ". Free");
    EXPECT_EQ(m_folder.slotNames(), free);

    MethodSettings method;
    EXPECT_EQ(method.loadAtCreation(m_folder), -1);
    EXPECT_EQ(method.name(), "");
    expectStartValues(method);

    method.setText(Setting::DosageDose, "12");
    ASSERT_TRUE(method.IniFileLoadPreview(m_folder, 50));
    EXPECT_EQ(method.name(), "50. Free");
    expectStartValues(method);
    EXPECT_FALSE(QFile::exists(m_folder.path()));
}

TEST_F(MethodFilesTest, TheFirstSaveWritesAllThirteenSectionsInOrder)
{
    ASSERT_TRUE(sampleMethod().IniFileSave(m_folder, 3));
    EXPECT_EQ(bytes("3.ini"), kSampleFile);
    EXPECT_EQ(bytes("LastModified.ini"), "[Last Modified]\r\nMethod=3\r\n");
    EXPECT_EQ(m_folder.slotName(3), QString::fromUtf8("Säure 1"));
    EXPECT_EQ(m_folder.slotName(4), "4. Free");
}

TEST_F(MethodFilesTest, SavingWithoutASlotRemembersMinusOneOnly)
{
    EXPECT_FALSE(sampleMethod().IniFileSave(m_folder, -1));
    EXPECT_EQ(bytes("LastModified.ini"), "[Last Modified]\r\nMethod=-1\r\n");
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"LastModified.ini"});

    MethodSettings method;
    EXPECT_FALSE(method.IniFileLoadPreview(m_folder, -1));
    EXPECT_EQ(method.name(), "");
}

TEST_F(MethodFilesTest, SavingIntoAnExistingFileChangesValuesInPlaceAndKeepsItsOwnLines)
{
    setBytes("7.ini", "; Acid method\n"
                      "[12]\n"
                      "DosageDose=1\n"
                      "[0]\n"
                      "method name = old\n"
                      "Comment=from the lab\n"
                      "\n"
                      "[1]\n"
                      "SPECIALMODES=4\n");
    MethodSettings method;
    method.setName("New");
    method.setText(Setting::DosageDose, "77");
    ASSERT_TRUE(method.IniFileSave(m_folder, 7));
    const QByteArray file = bytes("7.ini");
    EXPECT_TRUE(file.startsWith("; Acid method\r\n"
                                "[12]\r\n"
                                "DosageDose=77\r\n"
                                "[0]\r\n"
                                "method name=New\r\n"
                                "Comment=from the lab\r\n"
                                "\r\n"
                                "[1]\r\n"
                                "SPECIALMODES=0\r\n"
                                "MinimalIncrement=0\r\n"
                                "Measurement=0\r\n"
                                "Titrationnature=0\r\n"
                                "[2]\r\n"))
        << file.toStdString();
    EXPECT_TRUE(file.endsWith("[11]\r\nDosageRinse=0\r\n")) << file.toStdString();
    EXPECT_EQ(file.count('\n'), kSampleFile.count('\n') + 3);
}

TEST_F(MethodFilesTest, ReadingBackGivesWhatWasSaved)
{
    ASSERT_TRUE(sampleMethod().IniFileSave(m_folder, 0));
    MethodSettings method;
    EXPECT_EQ(method.loadAtCreation(m_folder), 0);

    MethodSettings expected = sampleMethod();
    // A numeric field shows the stored number: texts that are not numbers come back as 0.
    expected.setText(Setting::EndpointDosageBarrier, "0");
    expected.setText(Setting::AgitationTime, "0");
    expected.setText(Setting::FlushingTime, "50");
    EXPECT_EQ(method.name(), expected.name());
    for (const Setting setting : SettingInfo::all()) {
        if (SettingInfo::of(setting).isChoice())
            EXPECT_EQ(method.choice(setting), expected.choice(setting)) << SettingInfo::of(setting).key;
        else
            EXPECT_EQ(method.text(setting), expected.text(setting)) << SettingInfo::of(setting).key;
    }
}

TEST_F(MethodFilesTest, AFileWrittenOnWindowsReadsTheSame)
{
    setBytes("LastModified.ini", "[Last Modified]\r\nMethod=12\r\n");
    QByteArray windows = kSampleFile;
    windows.replace("\r\n[", "\r\n\r\n[");
    setBytes("12.ini", windows);
    MethodSettings method;
    EXPECT_EQ(method.loadAtCreation(m_folder), 12);
    EXPECT_EQ(method.name(), QString::fromUtf8("Säure 1"));
    EXPECT_EQ(method.choice(Setting::BueretteVolume), 2);
    EXPECT_EQ(method.choice(Setting::Balance), -1);
    EXPECT_EQ(method.text(Setting::DosageDose), "9999");
}

TEST_F(MethodFilesTest, ASlotWithoutANameKeepsItsFreeNameWhenSaved)
{
    setBytes("4.ini", "[1]\r\nSpecialModes=2\r\n");
    EXPECT_EQ(m_folder.slotName(4), "4. Free");
    MethodSettings method;
    ASSERT_TRUE(method.IniFileLoadPreview(m_folder, 4));
    EXPECT_EQ(method.name(), "4. Free");
    EXPECT_EQ(method.choice(Setting::SpecialModes), 2);
    ASSERT_TRUE(method.IniFileSave(m_folder, 4));
    EXPECT_TRUE(bytes("4.ini").contains("\r\n[0]\r\nMethod Name=4. Free\r\n"));
}

TEST_F(MethodFilesTest, ReadingReplacesEveryValueTheUserTyped)
{
    ASSERT_TRUE(MethodSettings().IniFileSave(m_folder, 1));
    MethodSettings method = sampleMethod();
    method.setText(Setting::PredosageVolume, "12a");
    ASSERT_TRUE(method.IniFileLoadPreview(m_folder, 1));
    EXPECT_EQ(method.name(), "");
    expectStartValues(method);
}

TEST_F(MethodFilesTest, LineBreaksInTheNameCannotInjectSettings)
{
    MethodSettings method;
    method.setName("Acid\r\n[1]\r\nSpecialModes=9\nTitrationnature=4");
    method.setChoice(Setting::SpecialModes, 2);
    ASSERT_TRUE(method.IniFileSave(m_folder, 5));
    EXPECT_TRUE(bytes("5.ini").startsWith("[0]\r\nMethod Name=Acid  [1]  SpecialModes=9 Titrationnature=4\r\n[1]\r\n"));
    MethodSettings loaded;
    ASSERT_TRUE(loaded.IniFileLoadPreview(m_folder, 5));
    EXPECT_EQ(loaded.name(), "Acid  [1]  SpecialModes=9 Titrationnature=4");
    EXPECT_EQ(loaded.choice(Setting::SpecialModes), 2);
    EXPECT_EQ(loaded.choice(Setting::Titrationnature), 0);
}


struct StoredValue
{
    Setting setting;
    const char *stored;
    int choice;       ///< expected for a choice
    const char *text; ///< expected for a numeric text
};

void PrintTo(const StoredValue &v, std::ostream *out)
{
    *out << SettingInfo::of(v.setting).key << '=' << v.stored;
}

class StoredValueTest : public MethodFilesTest, public ::testing::WithParamInterface<StoredValue>
{
};

TEST_P(StoredValueTest, ReadsIntoTheControlsValue)
{
    const SettingInfo &info = SettingInfo::of(GetParam().setting);
    setBytes("9.ini", "[" + QByteArray::number(info.group) + "]\r\n" + info.key + "=" + GetParam().stored + "\r\n");
    MethodSettings method;
    ASSERT_TRUE(method.IniFileLoadPreview(m_folder, 9));
    if (info.isChoice())
        EXPECT_EQ(method.choice(GetParam().setting), GetParam().choice);
    else
        EXPECT_EQ(method.text(GetParam().setting), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValueTest,
    ::testing::Values(
        StoredValue{Setting::SpecialModes, "abc", 0, nullptr}, StoredValue{Setting::SpecialModes, "0x1", 1, nullptr},
        StoredValue{Setting::SpecialModes, "9", 9, nullptr}, StoredValue{Setting::SpecialModes, "10", -1, nullptr},
        StoredValue{Setting::Balance, "7", -1, nullptr}, StoredValue{Setting::Balance, "-1", -1, nullptr},
        StoredValue{Setting::ST20, "-2", -1, nullptr}, StoredValue{Setting::PredosageVolume, "0050", 0, "50"},
        StoredValue{Setting::PredosageVolume, "0x10", 0, "16"},
        StoredValue{Setting::PredosageVolume, "70000", 0, "9999"}, StoredValue{Setting::PredosageVolume, "-5", 0, "0"},
        StoredValue{Setting::PredosageVolume, "x", 0, "0"}, StoredValue{Setting::MaximalVolume, "1000", 0, "999"},
        StoredValue{Setting::ConditioningTimeAfterNSamples, "50", 0, "9"}));

struct RememberedSlot
{
    const char *stored;
    int slot;
};

void PrintTo(const RememberedSlot &r, std::ostream *out)
{
    *out << "Method=" << r.stored;
}

class RememberedSlotTest : public MethodFilesTest, public ::testing::WithParamInterface<RememberedSlot>
{
};

TEST_P(RememberedSlotTest, OnlyASlotNumberSelectsAMethod)
{
    setBytes("LastModified.ini", QByteArray("[last modified]\nMETHOD=") + GetParam().stored + "\n");
    setBytes(QString::number(GetParam().slot) + ".ini", "[0]\r\nMethod Name=Remembered\r\n");
    MethodSettings method;
    EXPECT_EQ(method.loadAtCreation(m_folder), GetParam().slot);
    EXPECT_EQ(method.name(), GetParam().slot < 0 ? "" : "Remembered");
}

INSTANTIATE_TEST_SUITE_P(Values, RememberedSlotTest,
                         ::testing::Values(RememberedSlot{"50", 50}, RememberedSlot{"0x7", 7}, RememberedSlot{"0", 0},
                                           RememberedSlot{"-1", -1}, RememberedSlot{"51", -1},
                                           RememberedSlot{"seven", -1}));

} // namespace
