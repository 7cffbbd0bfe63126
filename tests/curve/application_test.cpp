#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Fonts, painting and widgets need an application object; one lives for the whole test program.
class GuiApplication : public testing::Environment
{
  public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_application = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_application.reset(); }

  private:
    int m_argc = 1;
    char m_name[12] = "curve_test";
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_application;
};

const auto *const environment = testing::AddGlobalTestEnvironment(new GuiApplication);

} // namespace
