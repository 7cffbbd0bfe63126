#include "tests/e2e/process_probe.h"

#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct Finished
{
    int status = -1;
    QString out;
    QString err;
};

/// The program with the arguments and no display at all: what ends at the command line needs none.
Finished runWithoutDisplay(const QStringList &arguments)
{
    QProcess korvane;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(variable);
    korvane.setProcessEnvironment(environment);
    korvane.start(KORVANE_PROGRAM, arguments);
    if (!korvane.waitForFinished(10000)) {
        korvane.kill();
        korvane.waitForFinished();
    }
    return {korvane.exitStatus() == QProcess::NormalExit ? korvane.exitCode() : -1,
            QString::fromLocal8Bit(korvane.readAllStandardOutput()),
            QString::fromLocal8Bit(korvane.readAllStandardError())};
}

} // namespace

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    const Finished help = runWithoutDisplay({"--help"});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    for (const char *option : {"--port <path>", "--simulate", "--in-data-folder", "--version"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    EXPECT_FALSE(help.out.contains("platform")) << "Qt's own options stay out of the list";

    const Finished version = runWithoutDisplay({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Korvane " KORVANE_VERSION "\n");
}

TEST(CommandLine, BadCommandLineSaysWhatIsWrongAndExitsWithStatus2)
{
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--bogus"}, "Unknown option 'bogus'."},
        {{"--port"}, "Missing value after '--port'."},
        {{"--port="}, "--port needs the path of a device"},
        {{"--port", "/dev/ttyUSB0", "--simulate"}, "--port and --simulate both name COM1"},
        {{"titration.txt"}, "Unexpected argument 'titration.txt'."},
    };
    for (const auto &[arguments, message] : cases) {
        const Finished run = runWithoutDisplay(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("korvane: " + message)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("Try 'korvane --help'")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// The menu entry's start: a relative --port is the shell's, the working folder the data folder,
// and Qt's own options still reach Qt.
TEST(CommandLine, PortNamesCom1AndTheDataFolderBecomesTheWorkingFolder)
{
    const int instrument = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(instrument, 0);
    ASSERT_EQ(grantpt(instrument), 0);
    ASSERT_EQ(unlockpt(instrument), 0);
    const QString device = QString::fromLocal8Bit(ptsname(instrument));
    QTemporaryDir shellFolder, dataHome;
    ASSERT_TRUE(QFile::link(device, shellFolder.filePath("titrator")));

    QProcess korvane;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("KORVANE_COM1");
    environment.insert("XDG_DATA_HOME", dataHome.path());
    korvane.setProcessEnvironment(environment);
    korvane.setWorkingDirectory(shellFolder.path());
    korvane.start(KORVANE_PROGRAM, {"-platform", "offscreen", "--port", "titrator", "--in-data-folder"});
    ASSERT_TRUE(korvane.waitForStarted());

    EXPECT_TRUE(eventually([&] { return openFiles(korvane.processId()).contains(device); }))
        << korvane.readAllStandardError().toStdString();
    const QString workingFolder = QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(korvane.processId()));
    EXPECT_EQ(workingFolder, QDir(dataHome.path()).canonicalPath() + "/Korvane");

    ::kill(static_cast<pid_t>(korvane.processId()), SIGTERM);
    EXPECT_TRUE(korvane.waitForFinished(10000));
    ::close(instrument);
}
