#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
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

/// The files a process has open, as the paths they resolve to.
QStringList openFiles(qint64 pid)
{
    QStringList paths;
    const QDir folder(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &entry : folder.entryList(QDir::System | QDir::NoDotAndDotDot))
        paths << QFile::symLinkTarget(folder.filePath(entry));
    return paths;
}

template <typename Condition> bool eventually(Condition condition)
{
    const QDeadlineTimer deadline(10000);
    while (!condition() && !deadline.hasExpired())
        QThread::msleep(20);
    return condition();
}

} // namespace

TEST(SimulateOption, ProgramTalksToItsOwnSimulatorAndTakesItAlong)
{
    QProcess korvane;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("KORVANE_COM1");
    korvane.setProcessEnvironment(environment);
    korvane.start(KORVANE_PROGRAM, {"--simulate"});
    ASSERT_TRUE(korvane.waitForStarted());

    QString simulator;
    ASSERT_TRUE(eventually([&] {
        const QStringList children = childrenOf(korvane.processId());
        simulator = children.isEmpty() ? QString() : children.first();
        return !simulator.isEmpty() && commandLine(simulator).size() >= 3;
    }));
    const QStringList arguments = commandLine(simulator);
    EXPECT_TRUE(arguments[0].endsWith("korvane-sim"));
    ASSERT_EQ(arguments[1], "--link");
    QString port;
    EXPECT_TRUE(eventually([&] { return (port = QFile::symLinkTarget(arguments[2])).startsWith("/dev/pts/"); }));
    // COM1 of the program is the simulator's port.
    EXPECT_TRUE(eventually([&] { return openFiles(korvane.processId()).contains(port); }));

    ::kill(static_cast<pid_t>(korvane.processId()), SIGTERM);
    ASSERT_TRUE(korvane.waitForFinished(10000));
    EXPECT_TRUE(eventually([&] { return commandLine(simulator).isEmpty(); }));
}
