#include "tests/support/test_application_environment.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Fonts, painting and widgets need an application object; one lives for the whole test program.
class GuiApplication : public testing::Environment
{
  public:
    void SetUp() override { ensureTestApplication<QApplication>(); }
};

const auto *const environment = testing::AddGlobalTestEnvironment(new GuiApplication);

} // namespace
