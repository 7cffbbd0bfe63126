#pragma once

#include <QCoreApplication>

#include <gtest/gtest.h>
#include <memory>

/// Owns the one application object of a test program: made on first use, deleted when the test
/// run ends, while Qt is still whole. One left to the exit handlers, or to none at all, can
/// outlive the Qt globals it needs.
class TestApplicationEnvironment : public ::testing::Environment
{
  public:
    /// A program whose widget tests need more than the core application its other tests made
    /// gets the wider one in its place, between two tests.
    template <class Application>
    void ensure()
    {
        QCoreApplication *current = QCoreApplication::instance();
        if (qobject_cast<Application *>(current) || (current && current != m_application.get()))
            return;
        m_application.reset();
        m_application = std::make_unique<Application>(m_argc, m_argv);
    }
    void TearDown() override { m_application.reset(); }

  private:
    int m_argc = 1;
    char m_name[13] = "korvane_test";
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_application;
};

inline TestApplicationEnvironment *const testApplicationEnvironment = static_cast<TestApplicationEnvironment *>(
    ::testing::AddGlobalTestEnvironment(new TestApplicationEnvironment));

/// Makes the test program's application object unless one of that kind exists.
template <class Application>
void ensureTestApplication()
{
    testApplicationEnvironment->ensure<Application>();
}
