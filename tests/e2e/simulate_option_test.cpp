#include "tests/e2e/process_probe.h"

#include <QFile>
#include <QProcess>

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

} // namespace

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
