#include "tests/support/test_application_environment.h"
#include "tools/published_link.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

TEST(PublishedLink, ReplacesAnOldLinkRefusesAFileAndCleansUp)
{
    QTemporaryDir directory;
    const QString link = directory.filePath("COM1");
    ASSERT_TRUE(QFile::link("/dev/null", link));
    QString error;
    {
        PublishedLink published;
        ASSERT_TRUE(published.publish(link, "/dev/zero", &error)) << error.toStdString();
        EXPECT_EQ(QFile::symLinkTarget(link), "/dev/zero");
    }
    EXPECT_FALSE(QFile::exists(link));

    const QString file = directory.filePath("notes.txt");
    QFile notes(file);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("keep me");
    notes.close();
    PublishedLink published;
    EXPECT_FALSE(published.publish(file, "/dev/zero", &error));
    EXPECT_TRUE(error.contains("not a link"));
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");
}

TEST(KorvaneSimProgram, PublishesItsPortAnswersAndCleansUpOnTerminate)
{
    ensureTestApplication<QCoreApplication>();
    QTemporaryDir directory;
    const QString link = directory.filePath("COM1");
    QProcess simulator;
    simulator.start(KORVANE_SIM_PROGRAM, {"--link", link, "--speed", "1000"});
    ASSERT_TRUE(simulator.waitForReadyRead(10000));
    const QString slave = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    EXPECT_TRUE(slave.startsWith("/dev/pts/"));
    EXPECT_EQ(QFile::symLinkTarget(link), slave);

    const int port = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(port, 0);
    termios settings{};
    ::tcgetattr(port, &settings);
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 5;
    ::tcsetattr(port, TCSANOW, &settings);
    ASSERT_EQ(::write(port, "?", 1), 1);
    QByteArray received;
    char buffer[256];
    for (int attempt = 0; attempt < 100 && !received.contains("SAMPLES"); ++attempt) {
        const ssize_t count = ::read(port, buffer, sizeof buffer);
        if (count > 0)
            received.append(buffer, count);
    }
    ::close(port);
    EXPECT_TRUE(received.contains("STATUS DL25"));

    simulator.terminate();
    ASSERT_TRUE(simulator.waitForFinished(10000));
    EXPECT_EQ(simulator.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(simulator.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(link));
}

TEST(KorvaneSimProgram, RefusesToOverwriteAFileAndBadOptions)
{
    QTemporaryDir directory;
    const QString file = directory.filePath("COM1");
    QFile existing(file);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    for (const QStringList &arguments :
         {QStringList{"--link", file}, QStringList{"--speed", "0"}, QStringList{"--baud", "fast"}}) {
        QProcess simulator;
        simulator.start(KORVANE_SIM_PROGRAM, arguments);
        ASSERT_TRUE(simulator.waitForFinished(10000));
        EXPECT_EQ(simulator.exitCode(), 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(simulator.readAllStandardError().startsWith("korvane-sim: "));
    }
    EXPECT_TRUE(QFile::exists(file));
}
