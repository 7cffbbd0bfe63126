#pragma once

// What the method file tests share: a method folder in a temporary folder, and a method whose
// every setting differs from the start values.

#include "method/method_folder.h"
#include "method/method_settings.h"
#include "tests/method/test_files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
inline MethodSettings sampleMethod()
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

inline const QByteArray kSampleFile = test_files::kSampleMethod;

inline void expectStartValues(const MethodSettings &method)
{
    for (const Setting setting : SettingInfo::all()) {
        if (SettingInfo::of(setting).isChoice())
            EXPECT_EQ(method.choice(setting), 0) << SettingInfo::of(setting).key;
        else
            EXPECT_EQ(method.text(setting), "0") << SettingInfo::of(setting).key;
    }
}
