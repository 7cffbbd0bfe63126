#pragma once

#include "tests/test_application_environment.h"

#include <QCoreApplication>

/// The one application object of the test program; synchronized calls need its event loop.
inline void ensureApplication()
{
    ensureTestApplication<QCoreApplication>();
}
