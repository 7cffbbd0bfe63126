#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

/// Owns the one application object of a test program: made on first use, deleted when the test
/// run ends, while Qt is still whole. One left to the exit handlers, or to none at all, can
/// outlive the Qt globals it needs. Offscreen unless the caller chose a platform, so that a test
/// program runs the same when started directly as under ctest; Qt for Windows is built without
/// the offscreen platform, so there the tests use real windows.
class TestApplicationEnvironment : public ::testing::Environment
{
  public:
    template <class Application>
    void ensure()
    {
        if (QCoreApplication::instance())
            return;
#ifndef Q_OS_WIN
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        // The program's own data (the capture log) goes to a folder of the test run.
        qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
        // Nor does a lab server the user has set reach the tests.
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
        m_application = std::make_unique<Application>(m_argc, m_argv);
#ifdef Q_OS_WIN
        // Windows names these folders itself, whatever the environment says: test mode keeps the
        // tests out of the user's own journal, captures and settings, emptied for each run.
        QStandardPaths::setTestModeEnabled(true);
        for (const auto location : {QStandardPaths::AppDataLocation, QStandardPaths::AppConfigLocation})
            QDir(QStandardPaths::writableLocation(location)).removeRecursively();
#endif
    }
    void TearDown() override { m_application.reset(); }

  private:
    int m_argc = 1;
    char m_name[13] = "korvane_test";
    char *m_argv[2] = {m_name, nullptr};
    QTemporaryDir m_dataHome;
    QTemporaryDir m_configHome;
    std::unique_ptr<QCoreApplication> m_application;
};

inline TestApplicationEnvironment *const testApplicationEnvironment = static_cast<TestApplicationEnvironment *>(
    ::testing::AddGlobalTestEnvironment(new TestApplicationEnvironment));

/// Makes the test program's application object unless one exists.
template <class Application>
void ensureTestApplication()
{
    testApplicationEnvironment->ensure<Application>();
}
