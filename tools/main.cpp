#include "tools/instrument.h"
#include "tools/pseudo_terminal.h"
#include "tools/published_link.h"
#include "tools/simulator_loop.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested.store(true);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "korvane-sim: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("korvane-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription("A simulated DL25 titrator on a pseudo-terminal. Prints the port's path on the "
                                     "first line of its output and runs until it is interrupted.");
    parser.addHelpOption();
    const QCommandLineOption linkOption("link", "Also publish the port as a symbolic link at <path>.", "path");
    const QCommandLineOption baudOption("baud", "The instrument's line speed (default 2400).", "baud", "2400");
    const QCommandLineOption speedOption("speed", "Run the instrument <factor> times faster (default 1).", "factor",
                                         "1");
    parser.addOptions({linkOption, baudOption, speedOption});
    parser.process(application);

    bool baudOk = false;
    bool speedOk = false;
    const quint32 baud = parser.value(baudOption).toUInt(&baudOk);
    const double speed = parser.value(speedOption).toDouble(&speedOk);
    if (!baudOk || baud == 0)
        return fail("--baud needs a positive whole number");
    if (!speedOk || speed < 0.01 || speed > 100000.0)
        return fail("--speed needs a factor from 0.01 to 100000");

    PseudoTerminal terminal;
    QString error;
    if (!terminal.open(baud, &error))
        return fail("cannot create a pseudo-terminal: " + error);
    PublishedLink link;
    if (parser.isSet(linkOption) && !link.publish(parser.value(linkOption), terminal.slavePath(), &error))
        return fail(error);

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::signal(SIGHUP, requestStop);
    std::signal(SIGPIPE, SIG_IGN);
    std::printf("%s\n", qPrintable(terminal.slavePath()));
    std::fflush(stdout);

    Instrument instrument(QDate::currentDate());
    SimulatorLoop loop(terminal, instrument, baud, speed);
    loop.run(stopRequested);
    return 0;
}
