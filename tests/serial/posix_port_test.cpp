#include "serial/platform/posix_comm_driver.h"
#include "serial/platform/posix_device_identity.h"
#include "serial/platform/posix_termios2.h"
#include "serial/serial_port.h"
#include "tests/support/test_application_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

/// The other end of a pseudo-terminal, as an instrument would hold it.
class PtyMaster
{
  public:
    PtyMaster()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
            return;
        termios settings{};
        tcgetattr(m_fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(m_fd, TCSANOW, &settings);
        m_slave = QString::fromLocal8Bit(ptsname(m_fd));
    }
    ~PtyMaster() { close(); }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int fd() const { return m_fd; }
    QString slave() const { return m_slave; }

    void send(const QByteArray &bytes) const
    {
        ASSERT_EQ(::write(m_fd, bytes.constData(), bytes.size()), bytes.size());
    }

    QByteArray take() const
    {
        char buffer[256];
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        return count > 0 ? QByteArray(buffer, count) : QByteArray();
    }

  private:
    int m_fd = -1;
    QString m_slave;
};

class PosixPort : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { ensureTestApplication<QCoreApplication>(); }

    void SetUp() override
    {
        ASSERT_FALSE(pty.slave().isEmpty());
        pointComTo(pty.slave());
        port = std::make_unique<TSerialPort>(&owner);
        port->SetErrorNoise(0);
        port->SetCommPort(QStringLiteral("COM1"));
        port->OnProcessError = [this](QObject *, uint32_t place, uint32_t code, const QString &) {
            reports.push_back({place, code});
        };
        port->OnRxClusterEvent = [this](TSerialPort *) { clusters.append(port->ReadNextCluster()); };
    }

    void TearDown() override
    {
        port.reset();
        unsetenv("KORVANE_COM1");
    }

    static void pointComTo(const QString &path) { setenv("KORVANE_COM1", path.toLocal8Bit().constData(), 1); }

    /// Serves the event loop until done() holds; false after a generous limit.
    static bool waitUntil(const std::function<bool()> &done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > 5000)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            usleep(1000);
        }
        return true;
    }

    int count(uint32_t place) const
    {
        return static_cast<int>(std::count_if(reports.begin(), reports.end(),
                                              [place](const auto &report) { return report.first == place; }));
    }

    PtyMaster pty;
    QObject owner;
    std::unique_ptr<TSerialPort> port;
    std::vector<std::pair<uint32_t, uint32_t>> reports;
    QList<QByteArray> clusters;
};

TEST_F(PosixPort, OpensThroughTheVariableAndShowsSpeedAndStopBits)
{
    port->SetBaudRate(2400);
    port->SetStopBits(2);
    port->SetActive(true);
    ASSERT_TRUE(port->Active());
    EXPECT_NE(port->ComHandle(), 4294967295u);

    termios settings{};
    ASSERT_EQ(tcgetattr(pty.fd(), &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), B2400);
    EXPECT_TRUE(settings.c_cflag & CSTOPB);

    port->SetBaudRate(14400);
    uint32_t speed = 0;
    ASSERT_EQ(linespeed::speed(pty.fd(), speed), 0);
    EXPECT_EQ(speed, 14400u);
}

// A pseudo-terminal forces 8 bits without parity; the instrument's 7E2 must still let the speed
// change at run time.
TEST_F(PosixPort, ChangesSpeedWhileOpenWithSevenBitsAndEvenParity)
{
    port->SetBaudRate(2400);
    port->SetDataBits(7);
    port->SetParityType(2);
    port->SetStopBits(2);
    port->SetActive(true);
    ASSERT_TRUE(port->Active());
    port->SetBaudRate(9600);

    termios settings{};
    ASSERT_EQ(tcgetattr(pty.fd(), &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), B9600);
    EXPECT_TRUE(settings.c_cflag & CSTOPB);
    EXPECT_EQ(count(802), 0);
}

TEST_F(PosixPort, RefusesSettingsLinuxCannotTakeAndStaysOpen)
{
    port->SetActive(true);
    port->SetStopBits(1);
    port->SetDataBits(4);
    port->SetFlowControl(40);
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(count(802), 3);
    for (const auto &[place, code] : reports)
        EXPECT_TRUE(place != 802 || code == 87u) << code;
}

TEST_F(PosixPort, BytesGoBothWaysUnchanged)
{
    port->SetClusterSize(0);
    port->SetActive(true);
    const QByteArray command("L\xff\x00QZ\r", 6);
    port->SendString(command);
    QByteArray sent;
    ASSERT_TRUE(waitUntil([&] { return (sent += pty.take()).size() >= command.size(); }));
    EXPECT_EQ(sent, command);

    const char replyBytes[] = "\xff\xff\x00 data record \x00\r\n";
    const QByteArray reply(replyBytes, sizeof replyBytes - 1);
    pty.send(reply);
    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        while (!clusters.isEmpty())
            received += clusters.takeFirst();
        return received.size() >= reply.size();
    }));
    EXPECT_EQ(received.toHex(' '), reply.toHex(' '));
    EXPECT_TRUE(reports.empty());
}

TEST_F(PosixPort, ALongReplyLosesItsNullsAndNothingElse)
{
    port->SetClusterSize(0);
    port->SetStripNullChars(true);
    port->SetEventChar('\r');
    port->SetActive(true);
    const QByteArray line("  12.345\x00  7.0\xff\r\n", 17);
    pty.send(line.repeated(300));
    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        while (!clusters.isEmpty())
            received += clusters.takeFirst();
        return received.size() >= 300 * 16;
    }));
    EXPECT_EQ(received, QByteArray("  12.345  7.0\xff\r\n").repeated(300));
    EXPECT_TRUE(reports.empty());
}

TEST_F(PosixPort, AReplyArrivesAsOneClusterAfterTheLineGoesQuiet)
{
    port->SetBaudRate(2400);
    port->SetRTOCharDelayTime(4500);
    port->SetClusterSize(4096);
    port->SetActive(true);
    pty.send("   1.000   0.100   7.012\r\n");
    ASSERT_TRUE(waitUntil([&] { return !clusters.isEmpty(); }));
    EXPECT_EQ(clusters, QList<QByteArray>{"   1.000   0.100   7.012\r\n"});
}

// With the main window's sizes a long reply must be cut at the cluster size, not held back until
// its whole time allowance (about 23 s for 5000 bytes) has run out.
TEST_F(PosixPort, ALongReplyIsCutAtTheClusterSizeAboveTheQueueSize)
{
    port->SetRTOCharDelayTime(4500);
    port->SetClusterSize(4096);
    port->SetRxQueueSize(2048);
    port->SetActive(true);
    ASSERT_TRUE(port->Active());
    pty.send(QByteArray(5000, 'x'));
    ASSERT_TRUE(waitUntil([this] { return !clusters.isEmpty(); }));
    EXPECT_GE(clusters.first().size(), 4096);
}

TEST_F(PosixPort, ASecondProgramCannotTakeAnOpenPort)
{
    port->SetActive(true);
    TSerialPort other;
    other.SetCommPort(QStringLiteral("COM1"));
    uint32_t code = 0;
    other.OnProcessError = [&](QObject *, uint32_t place, uint32_t error, const QString &) {
        if (place == 112)
            code = error;
    };
    other.SetActive(true);
    EXPECT_FALSE(other.Active());
    EXPECT_EQ(code, 5u);
}

/// Hangs up every open file of a terminal, as a pulled adapter does; the terminal stays.
bool hangUp(const QString &terminal)
{
    const int fd = ::open(QFile::encodeName(terminal).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const bool done = fd >= 0 && ioctl(fd, TIOCVHANGUP) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

void pointLink(const QString &link, const QString &target)
{
    ::unlink(QFile::encodeName(link).constData());
    ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
}

// As a USB adapter pulled out and plugged in again: the line hangs up mid-stream, the name
// leads to another terminal for a while, which is refused, then to the same one again, and
// bytes flow again without anyone touching the port.
TEST_F(PosixPort, APulledDeviceClosesThePortAndReconnectsWhenItIsBack)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyKorvane"));
    pointLink(link, pty.slave());
    pointComTo(link);
    port->SetClusterSize(0);
    port->SetAutoReconnect(true);
    QStringList changes;
    port->OnDeviceLost = [&](TSerialPort *) { changes.append("lost"); };
    port->OnReconnected = [&](TSerialPort *) { changes.append("reconnected"); };
    port->OnReconnectRefused = [&](TSerialPort *) { changes.append("refused " + port->RefusedDevice()); };
    port->SetActive(true);
    ASSERT_TRUE(port->Active());

    pty.send("last words");
    ASSERT_TRUE(waitUntil([&] { return !clusters.isEmpty(); }));
    if (!hangUp(pty.slave()))
        GTEST_SKIP() << "hanging up a terminal needs CAP_SYS_ADMIN";
    ASSERT_TRUE(waitUntil([&] { return !port->Active(); }));
    EXPECT_TRUE(port->Lost());
    EXPECT_EQ(clusters.join(), "last words");
    EXPECT_EQ(count(9920), 1);
    EXPECT_EQ(count(9803), 0);

    PtyMaster other;
    pointLink(link, other.slave());
    ASSERT_TRUE(waitUntil([&] { return changes.size() == 2; }));
    EXPECT_TRUE(changes.last().startsWith("refused " + other.slave() + " (")) << changes.last().toStdString();
    EXPECT_FALSE(port->Active());
    EXPECT_TRUE(other.take().isEmpty()) << "nothing reaches the other device";

    pointLink(link, pty.slave());
    ASSERT_TRUE(waitUntil([&] { return changes.size() == 3; }));
    EXPECT_EQ(changes.last(), "reconnected");
    EXPECT_TRUE(port->Active());
    EXPECT_FALSE(port->Lost());
    // A terminal opened anew starts with an empty input queue.
    pty.send("back");
    EXPECT_TRUE(waitUntil([&] { return clusters.contains("back"); }));
}

// A USB adapter is known by what stays when it is plugged in again, whatever node it gets; one
// without a serial number by the USB port it sits in. sysfs is laid out as the kernel does.
TEST(DeviceIdentity, AUsbAdapterIsKnownByItsSerialNumberOrItsUsbPort)
{
    PtyMaster first;
    PtyMaster second;
    QTemporaryDir sys;
    const auto adapter = [&sys](const QString &terminal, const QString &usbPort, const QByteArray &serial) {
        struct stat info{};
        ASSERT_EQ(stat(QFile::encodeName(terminal).constData(), &info), 0);
        const QString device = sys.filePath("devices/pci0000:00/usb1/" + usbPort);
        const QString tty = device + "/" + usbPort + ":1.0/ttyUSB0/tty/ttyUSB0";
        ASSERT_TRUE(QDir().mkpath(tty) && QDir().mkpath(sys.filePath("dev/char")));
        for (const auto &[name, value] : {std::pair{"idVendor", QByteArray("0403\n")}, {"idProduct", "6001\n"},
                                          {"serial", serial}}) {
            QFile file(device + "/" + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(value);
        }
        const QString node = sys.filePath(QStringLiteral("dev/char/%1:%2").arg(major(info.st_rdev)).arg(minor(info.st_rdev)));
        ASSERT_EQ(symlink(QFile::encodeName(tty).constData(), QFile::encodeName(node).constData()), 0);
    };
    adapter(first.slave(), "1-1", "A12345\n");
    adapter(second.slave(), "1-2", "");
    EXPECT_EQ(posixDeviceIdentity(first.slave(), sys.path()), "USB 0403:6001 serial number A12345 interface 1.0");
    EXPECT_EQ(posixDeviceIdentity(second.slave(), sys.path()), "USB 0403:6001 at USB port 1-2 interface 1.0");
}

struct NameCase
{
    const char *name;
    const char *variable;
    const char *path;
};

class DevicePath : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(DevicePath, ResolvesPortNames)
{
    const NameCase &names = GetParam();
    if (names.variable)
        setenv("KORVANE_COM3", names.variable, 1);
    EXPECT_EQ(PosixCommDriver::devicePath(QString::fromLatin1(names.name)), QString::fromLatin1(names.path));
    unsetenv("KORVANE_COM3");
}

std::string nameCaseName(const ::testing::TestParamInfo<NameCase> &info)
{
    static const char *const names[] = {"COM1", "COM12", "COM3FromVariable", "COM3EmptyVariable", "Path", "COM0",
                                        "LPT1", "COM1x"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Names, DevicePath,
                         ::testing::Values(NameCase{"COM1", nullptr, "/dev/ttyS0"},
                                           NameCase{"COM12", nullptr, "/dev/ttyS11"},
                                           NameCase{"COM3", "/dev/ttyUSB0", "/dev/ttyUSB0"},
                                           NameCase{"COM3", "", "/dev/ttyS2"},
                                           NameCase{"/dev/pts/7", nullptr, "/dev/pts/7"}, NameCase{"COM0", nullptr, ""},
                                           NameCase{"LPT1", nullptr, ""}, NameCase{"COM1x", nullptr, ""}),
                         nameCaseName);

} // namespace
