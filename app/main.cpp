#include "app/platform/command_line.h"
#include "app/platform/native_platform.h"
#include "app/program.h"
#include "app/platform/simulator_process.h"
#include "app/platform/termination_signal.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

/// Makes the user's data folder the working folder, so that the method folder Config/ is there.
bool enterDataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder)) {
        qCritical("korvane: cannot work in the data folder %s", qPrintable(folder));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    const CommandLine commandLine(argumentsOf(argc, argv));
    if (commandLine.finished()) {
        std::fputs(qPrintable(commandLine.message()), commandLine.exitStatus() == 0 ? stdout : stderr);
        return commandLine.exitStatus();
    }
    // The port resolves COM1 through this variable; set here, it holds for this start only.
    if (!commandLine.port().isEmpty())
        qputenv("KORVANE_COM1", QFile::encodeName(commandLine.port()));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(CommandLine::version());
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    if (commandLine.inDataFolder() && !enterDataFolder())
        return 1;
    // Without a desktop theme the tool bar takes its pictures from a common theme, if installed.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.korvane.Korvane")));

    // Folders of killed runs go; a logout's SIGTERM takes the program down as closing its window does.
    SimulatorProcess::removeStaleFolders();
    TerminationSignal termination;
    // --simulate puts a simulated titrator on COM1; it outlives the main window's port.
    SimulatorProcess simulator;
    QString simulatorError;
    if (commandLine.simulate() && !simulator.startAsCom1(&simulatorError)) {
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
