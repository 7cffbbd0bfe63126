#pragma once

#include <QApplication>

/// The one application object of the test program; synchronized calls need its event loop, the
/// settings dialog a QApplication. Offscreen unless the caller chose a platform, so that the
/// program runs the same when started directly as under ctest.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "serial_test";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}
