#include "tests/e2e/process_probe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

namespace {

QStringList childrenOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(' ', Qt::SkipEmptyParts);
}

QStringList commandLine(const QString &pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QChar('\0'), Qt::SkipEmptyParts);
}

/// The program with --simulate, offscreen, the simulator at the given speed factor.
void startSimulating(QProcess &korvane, const QString &speed)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("KORVANE_SIM_SPEED", speed);
    environment.remove("KORVANE_COM1");
    korvane.setProcessEnvironment(environment);
    korvane.start(KORVANE_PROGRAM, {"--simulate"});
}

/// True once the process handles SIGTERM itself: it has come up to its event loop's set-up.
bool catchesTerm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

} // namespace

TEST(SimulateOption, TemporaryFolderOnlyWhileSimulatingAndNoneLeftAfterTermOrKill)
{
    QTemporaryDir temp;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TMPDIR", temp.path());
    environment.insert("KORVANE_SIM_SPEED", "5");
    const auto folders = [&temp] { return QDir(temp.path()).entryList({"Korvane-*"}, QDir::Dirs); };
    const auto start = [&environment](QProcess &korvane, const QStringList &arguments) {
        korvane.setProcessEnvironment(environment);
        korvane.start(KORVANE_PROGRAM, arguments);
        return korvane.waitForStarted() && eventually([&] { return catchesTerm(korvane.processId()); });
    };

    // Killed outright while simulating: its folder stays behind.
    QProcess killed;
    environment.remove("KORVANE_COM1");
    ASSERT_TRUE(start(killed, {"--simulate"}));
    ASSERT_TRUE(eventually([&] { return folders().size() == 1; }));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(10000));
    // Its simulator ends with it and takes its port's link away, the folder stays.
    EXPECT_TRUE(eventually([&] { return folders().size() == 1 && QDir(temp.filePath(folders().first())).isEmpty(); }));

    // Without a simulator no folder is made, and the next start takes the killed run's away.
    QProcess plain;
    environment.insert("KORVANE_COM1", temp.filePath("no-port"));
    ASSERT_TRUE(start(plain, {}));
    EXPECT_EQ(folders(), QStringList());
    ::kill(static_cast<pid_t>(plain.processId()), SIGTERM);
    ASSERT_TRUE(plain.waitForFinished(10000));
    EXPECT_EQ(plain.exitStatus(), QProcess::NormalExit);

    // Terminated as at a logout while simulating: the folder goes with the program.
    QProcess simulating;
    environment.remove("KORVANE_COM1");
    ASSERT_TRUE(start(simulating, {"--simulate"}));
    ASSERT_TRUE(eventually([&] { return folders().size() == 1; }));
    ::kill(static_cast<pid_t>(simulating.processId()), SIGTERM);
    ASSERT_TRUE(simulating.waitForFinished(10000));
    EXPECT_EQ(simulating.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(simulating.exitCode(), 0);
    EXPECT_EQ(folders(), QStringList());
}

TEST(SimulateOption, ProgramTalksToItsOwnSimulatorAndTakesItAlong)
{
    QProcess korvane;
    startSimulating(korvane, "5");
    ASSERT_TRUE(korvane.waitForStarted());

    QString simulator;
    ASSERT_TRUE(eventually([&] {
        const QStringList children = childrenOf(korvane.processId());
        simulator = children.isEmpty() ? QString() : children.first();
        return !simulator.isEmpty() && commandLine(simulator).size() >= 3;
    }));
    const QStringList arguments = commandLine(simulator);
    EXPECT_TRUE(arguments[0].endsWith("korvane-sim"));
    ASSERT_EQ(arguments.mid(1, 1) + arguments.mid(3), (QStringList{"--link", "--speed", "5"}));
    QString port;
    EXPECT_TRUE(eventually([&] { return (port = QFile::symLinkTarget(arguments[2])).startsWith("/dev/pts/"); }));
    // COM1 of the program is the simulator's port.
    EXPECT_TRUE(eventually([&] { return openFiles(korvane.processId()).contains(port); }));

    ::kill(static_cast<pid_t>(korvane.processId()), SIGTERM);
    ASSERT_TRUE(korvane.waitForFinished(10000));
    EXPECT_TRUE(eventually([&] { return commandLine(simulator).isEmpty(); }));
}

TEST(SimulateOption, SimulatorThatCannotStartIsReportedAndNothingRuns)
{
    QProcess korvane;
    startSimulating(korvane, "fast");
    ASSERT_TRUE(korvane.waitForFinished(10000));
    EXPECT_EQ(korvane.exitCode(), 1);
    const QByteArray messages = korvane.readAllStandardError();
    EXPECT_TRUE(messages.contains("korvane-sim: --speed needs a factor")) << messages.constData();
    EXPECT_TRUE(messages.contains("korvane: cannot start the simulated titrator: korvane-sim ended with exit code 1"));
}
