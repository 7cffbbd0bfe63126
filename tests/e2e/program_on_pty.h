#pragma once

#include <QProcess>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

/// The instrument's end of a raw pseudo-terminal; -1 when none could be made.
inline int openInstrumentTerminal()
{
    const int instrument = posix_openpt(O_RDWR | O_NOCTTY);
    if (instrument < 0 || grantpt(instrument) != 0 || unlockpt(instrument) != 0)
        return -1;
    termios raw{};
    tcgetattr(instrument, &raw);
    cfmakeraw(&raw);
    tcsetattr(instrument, TCSANOW, &raw);
    return instrument;
}

/// Starts the real program with its data folder in dataHome and COM1 on the instrument's terminal.
inline bool startOnTerminal(QProcess &korvane, const QString &dataHome, int instrument)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome);
    environment.insert("KORVANE_COM1", QString::fromLocal8Bit(ptsname(instrument)));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    korvane.setProcessEnvironment(environment);
    korvane.start(KORVANE_PROGRAM, {});
    return korvane.waitForStarted();
}
