#include "tests/e2e/process_probe.h"
#include "tests/e2e/program_on_pty.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QByteArray readCapture(const QString &dataHome)
{
    QDirIterator files(dataHome, {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.fileName().contains(QStringLiteral("/capture/")) && file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    return {};
}

// The real program on a pseudo-terminal: each reply is on disk while the program runs, and a
// SIGKILL in the middle of the next one takes nothing of it away.
TEST(CaptureLog, HoldsEveryReplyWhenTheProgramIsKilledMidStream)
{
    const int instrument = openInstrumentTerminal();
    ASSERT_GE(instrument, 0);

    QTemporaryDir dataHome;
    QProcess korvane;
    ASSERT_TRUE(startOnTerminal(korvane, dataHome.path(), instrument));

    QByteArray sent;
    for (const QByteArray &reply : {QByteArray("Status:\r\n  READY\r\n"), QByteArray("\xff\x00 data record 1\n\r", 18),
                                    QByteArray("   1.000   0.100   7.012   0.000   0.000\r\n")}) {
        ASSERT_EQ(::write(instrument, reply.constData(), reply.size()), reply.size());
        sent += reply;
        EXPECT_TRUE(eventually([&] { return readCapture(dataHome.path()) == sent; })) << sent.toStdString();
    }
    const QByteArray stream(3000, 'x');
    ASSERT_EQ(::write(instrument, stream.constData(), stream.size()), stream.size());
    QThread::msleep(100);
    ::kill(static_cast<pid_t>(korvane.processId()), SIGKILL);
    ASSERT_TRUE(korvane.waitForFinished(10000));

    const QByteArray captured = readCapture(dataHome.path());
    EXPECT_TRUE(captured.startsWith(sent));
    EXPECT_TRUE((sent + stream).startsWith(captured));
    ::close(instrument);
}

} // namespace
