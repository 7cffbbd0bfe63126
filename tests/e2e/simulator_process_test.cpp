#include "app/platform/simulator_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(SimulatorProcess, PublishesAPortThatAnswersAndTakesItAwayWhenDone)
{
    QString port;
    {
        SimulatorProcess simulator({"--speed", "1000"});
        QString error;
        ASSERT_TRUE(simulator.start(KORVANE_SIM_PROGRAM, &error)) << error.toStdString();
        port = simulator.portPath();
        EXPECT_TRUE(QFileInfo(port).isSymLink());
        const int line = ::open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(line, 0);
        ::close(line);
    }
    EXPECT_FALSE(QFileInfo(port).exists());
}

TEST(SimulatorProcess, FailureToStartIsReported)
{
    QString error;
    EXPECT_FALSE(SimulatorProcess().start({}, &error));
    EXPECT_EQ(error, "korvane-sim not found");
    EXPECT_FALSE(SimulatorProcess().start("/nonexistent/korvane-sim", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(SimulatorProcess({"--speed", "0"}).start(KORVANE_SIM_PROGRAM, &error));
    EXPECT_EQ(error, "korvane-sim ended with exit code 1");
}

TEST(SimulatorProcess, SimulatorEndsWhenTheProgramDiesWithoutCleaningUp)
{
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t program = ::fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        // The stand-in for a program that is killed: start the simulator, say its pid, hang.
        auto *simulator = new SimulatorProcess({"--speed", "1000"});
        QString error;
        const qint64 pid = simulator->start(KORVANE_SIM_PROGRAM, &error) ? simulator->processId() : 0;
        (void)!::write(pipeEnds[1], &pid, sizeof pid);
        ::pause();
        ::_exit(0);
    }
    qint64 simulatorPid = 0;
    ASSERT_EQ(::read(pipeEnds[0], &simulatorPid, sizeof simulatorPid), static_cast<ssize_t>(sizeof simulatorPid));
    ASSERT_GT(simulatorPid, 0);
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    bool gone = false;
    for (int attempt = 0; attempt < 100 && !gone; ++attempt) {
        gone = ::kill(static_cast<pid_t>(simulatorPid), 0) != 0;
        ::usleep(50000);
    }
    EXPECT_TRUE(gone);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);

    // The killed program's folder stays behind until a later run takes it away; a folder of a
    // program still running stays.
    const QString left = QStringLiteral("Korvane-%1-*").arg(program);
    const QString running = QStringLiteral("Korvane-%1-living").arg(::getpid());
    ASSERT_TRUE(QDir::temp().mkdir(running));
    EXPECT_EQ(QDir::temp().entryList({left}, QDir::Dirs).size(), 1);
    SimulatorProcess::removeStaleFolders();
    EXPECT_TRUE(QDir::temp().entryList({left}, QDir::Dirs).isEmpty());
    EXPECT_TRUE(QDir::temp().rmdir(running));
}
