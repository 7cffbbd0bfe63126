#pragma once

#include "tests/test_application_environment.h"

#include <QApplication>

/// The one application object of the test program; synchronized calls need its event loop, the
/// settings dialog a QApplication.
inline void ensureApplication()
{
    ensureTestApplication<QApplication>();
}
