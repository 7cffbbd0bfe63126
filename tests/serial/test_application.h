#pragma once

#include <QCoreApplication>

/// The one application object of the test program; synchronized calls need its event loop.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "serial_test";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}
