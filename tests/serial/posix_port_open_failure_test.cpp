#include "serial/platform/posix_comm_driver.h"
#include "serial/port_open_failure.h"
#include "serial/system_tick_source.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

TEST(PortOpenFailure, SaysWhatWentWrongAndWhatToDo)
{
    const QString usb = QStringLiteral("/dev/ttyUSB0");
    EXPECT_EQ((PortOpenFailure{usb, EACCES, "uucp", {}, {}}.message()),
              "Permission denied for /dev/ttyUSB0, which belongs to the group uucp: add yourself to the group uucp "
              "and log in again.");
    EXPECT_EQ((PortOpenFailure{usb, EBUSY, {}, "minicom (process 812)", {}}.message()),
              "/dev/ttyUSB0 is in use by minicom (process 812).");
    EXPECT_EQ((PortOpenFailure{usb, EBUSY, {}, {}, {}}.message()), "/dev/ttyUSB0 is in use by another program.");
    EXPECT_EQ((PortOpenFailure{usb, ENOENT, {}, {}, {"/dev/ttyS0", "/dev/ttyACM0"}}.message()),
              "There is no device /dev/ttyUSB0. Serial ports here: /dev/ttyS0, /dev/ttyACM0.");
    EXPECT_EQ((PortOpenFailure{usb, ENOENT, {}, {}, {}}.message()),
              "There is no device /dev/ttyUSB0, and no serial port was found on this machine.");
}

/// A pseudo-terminal's program end; its other end stands for the device.
struct Terminal
{
    Terminal()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        device = QString::fromLocal8Bit(ptsname(master));
    }
    ~Terminal() { ::close(master); }

    int master = -1;
    QString device;
};

// Root opens anything, so the open is tried by a child that has given its privileges up.
TEST(PortOpenFailure, AnUnreadableDeviceNamesItsGroupAndTheFix)
{
    Terminal terminal;
    const QByteArray path = QFile::encodeName(terminal.device);
    ASSERT_EQ(chmod(path.constData(), 0600), 0);
    struct stat info{};
    ASSERT_EQ(stat(path.constData(), &info), 0);
    const QString group = QString::fromLocal8Bit(getgrgid(info.st_gid)->gr_name);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    if (child == 0) {
        const bool root = getuid() == 0;
        if (root ? setuid(65534) != 0 : chmod(path.constData(), 0) != 0)
            _exit(2);
        PosixCommDriver driver(SystemTickSource::instance());
        uint32_t error = 0;
        const bool opened = driver.open(terminal.device, error) != nullptr;
        const QByteArray text = driver.openFailure(terminal.device, error).toUtf8();
        _exit(!opened && ::write(pipeFds[1], text.constData(), text.size()) == text.size() ? 0 : 1);
    }
    ::close(pipeFds[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    ::close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child could open the device";
    EXPECT_EQ(QString::fromUtf8(text), QStringLiteral("Permission denied for %1, which belongs to the group %2: add "
                                                      "yourself to the group %2 and log in again.")
                                           .arg(terminal.device, group));
}

TEST(PortOpenFailure, ABusyDeviceNamesTheProgramThatHasItAndAMissingOneTheOtherPorts)
{
    Terminal terminal;
    PosixCommDriver driver(SystemTickSource::instance());
    uint32_t error = 0;
    const auto first = driver.open(terminal.device, error);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(driver.open(terminal.device, error), nullptr);
    EXPECT_EQ(driver.openFailure(terminal.device, error),
              QStringLiteral("%1 is in use by serial_test (process %2).").arg(terminal.device).arg(getpid()));

    setenv("KORVANE_COM7", "/dev/ttyKorvaneNone", 1);
    EXPECT_EQ(driver.open(QStringLiteral("COM7"), error), nullptr);
    const QString missing = driver.openFailure(QStringLiteral("COM7"), error);
    EXPECT_TRUE(missing.startsWith("There is no device /dev/ttyKorvaneNone. Serial ports here: ") ||
                missing == "There is no device /dev/ttyKorvaneNone, and no serial port was found on this machine.")
        << missing.toStdString();
    EXPECT_EQ(missing.count("/dev/ttyKorvaneNone"), 1) << "only ports that are there are listed";
    unsetenv("KORVANE_COM7");
}

} // namespace
