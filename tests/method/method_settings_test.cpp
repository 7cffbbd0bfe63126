#include "method/method_error.h"
#include "method/method_folder.h"
#include "method/method_settings.h"
#include "method/profile_file.h"
#include "tests/common/file_size_limit.h"
#include "tests/method/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>

namespace {

class MethodFilesTest : public ::testing::Test
{
  protected:
    QTemporaryDir m_dir;
    MethodFolder m_folder{m_dir.filePath("Config")};

    QString path(const QString &name) const { return m_folder.path() + '/' + name; }
    QByteArray bytes(const QString &name) const { return test_files::read(path(name)); }
    void setBytes(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(m_folder.path());
        test_files::write(path(name), bytes);
    }
};

/// A method with a value in every setting that differs from the start values.
MethodSettings sampleMethod()
{
    MethodSettings method;
    method.setName(QString::fromUtf8("Säure 1"));
    const std::pair<Setting, int> choices[] = {
        {Setting::SpecialModes, 9},     {Setting::MinimalIncrement, 1}, {Setting::Measurement, 1},
        {Setting::Titrationnature, 5},  {Setting::MaxIncrement, 3},     {Setting::PotentialChange, 2},
        {Setting::TimeControl, 7},      {Setting::Balance, -1},         {Setting::BueretteVolume, 2},
        {Setting::SpecialCountings, 8}, {Setting::ResultUnit, 6},       {Setting::AdditionalData, 3},
        {Setting::CurveDesign, 1},      {Setting::ExternDevice, 1},     {Setting::ST20, 2},
        {Setting::MasterSlave, 1},      {Setting::PlottingDevice, 4},   {Setting::ConditioningTimeProductionRun, 1}};
    for (const auto &[setting, index] : choices)
        method.setChoice(setting, index);
    const std::pair<Setting, const char *> texts[] = {{Setting::PredosageVolume, "205"},
                                                      {Setting::MaximalVolume, "50"},
                                                      {Setting::EndpointDosageBarrier, "1.5"},
                                                      {Setting::AgitationTime, ""},
                                                      {Setting::ConditioningTime, "12"},
                                                      {Setting::ConditioningTimeAfterNSamples, "3"},
                                                      {Setting::FlushingTime, "0050"},
                                                      {Setting::DosageRinse, "30"},
                                                      {Setting::DosageDose, "9999"}};
    for (const auto &[setting, text] : texts)
        method.setText(setting, text);
    return method;
}

const QByteArray kSampleFile = test_files::kSampleMethod;

void expectStartValues(const MethodSettings &method)
{
    for (const Setting setting : SettingInfo::all()) {
        if (SettingInfo::of(setting).isChoice())
            EXPECT_EQ(method.choice(setting), 0) << SettingInfo::of(setting).key;
        else
            EXPECT_EQ(method.text(setting), "0") << SettingInfo::of(setting).key;
    }
}

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
