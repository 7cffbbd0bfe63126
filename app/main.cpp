#include "app/native_platform.h"
#include "app/program.h"
#include "app/simulator_process.h"
#include "app/termination_signal.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    // Without a desktop theme the tool bar takes its pictures from a common theme, if installed.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));

    // Folders of killed runs go; a logout's SIGTERM takes the program down as closing its window does.
    SimulatorProcess::removeStaleFolders();
    TerminationSignal termination;
    // --simulate puts a simulated titrator on COM1; it outlives the main window's port.
    SimulatorProcess simulator;
    QString simulatorError;
    if (QApplication::arguments().contains(QStringLiteral("--simulate")) && !simulator.startAsCom1(&simulatorError)) {
        qCritical("korvane: cannot start the simulated titrator: %s", qPrintable(simulatorError));
        return 1;
    }

    NativePlatform platform;
    Program program(platform.parts());

    // The program ends with the main window, also while another window is still open.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&program.mainWindow(), &TForm1::closed, &app, &QApplication::quit);
    program.mainWindow().show();
    return app.exec();
}
