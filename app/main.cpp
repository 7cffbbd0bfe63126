#include "app/command_dialogs.h"
#include "app/confirm_dialog.h"
#include "app/form1.h"
#include "app/form_command_host.h"
#include "app/instrument_commands.h"
#include "app/native_dialogs.h"
#include "app/pause.h"
#include "app/qt_event_pump.h"
#include "app/serial_key_port.h"
#include "app/simulator_process.h"
#include "serial/serial_basic_dlg.h"
#include "serial/serial_port.h"
#include "serial/system_tick_source.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    // Without a desktop theme the tool bar takes its pictures from a common theme, if installed.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    NativeDialogs dialogs;

    // --simulate puts a simulated titrator on COM1; it outlives the main window's port.
    SimulatorProcess simulator;
    QString simulatorError;
    if (QApplication::arguments().contains(QStringLiteral("--simulate")) && !simulator.startAsCom1(&simulatorError)) {
        qCritical("korvane: cannot start the simulated titrator: %s", qPrintable(simulatorError));
        return 1;
    }

    // Every window lives until the program ends and is created once, in this order. They stay
    // on this stack until the event loop has returned, so a handler still running inside a
    // nested wait when the main window closes finds them all in place.
    TForm1 Form1(dialogs, SerialBackend::system());
    TSerialBasicDLG SerialBasicDLG;
    CommandDialogs commandDialogs; // OKRightDlg3, OKRightDlg5 to OKRightDlg9
    ConfirmDialog OKRightDlg10(QStringLiteral("OKRightDlg10"),
                               QStringLiteral("Starting a new file? All unsaved data will be lost!"), false);
    ConfirmDialog OKRightDlg11(QStringLiteral("OKRightDlg11"), QStringLiteral("File exists. Overwrite?"), true);
    Form1.SerialBasicDLG = &SerialBasicDLG;
    Form1.OKRightDlg10 = &OKRightDlg10;
    Form1.OKRightDlg11 = &OKRightDlg11;

    QtEventPump events;
    const auto ticks = SystemTickSource::instance();
    const Pause pause(*ticks, events);
    FormCommandHost commandHost(Form1);
    SerialKeyPort commandPort(*Form1.SerialPort1);
    InstrumentCommands commands(commandPort, pause, commandHost, commandDialogs);
    Form1.Commands = &commands;

    // The program ends with the main window, also while another window is still open.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&Form1, &TForm1::closed, &app, &QApplication::quit);
    Form1.show();
    return app.exec();
}
