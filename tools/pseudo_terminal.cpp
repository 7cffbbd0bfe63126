#include "tools/pseudo_terminal.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {

/// The standard code of baud, else BOTHER. Programs that read the speed through plain termios,
/// Wine's comm layer among them, know only the standard codes and refuse the port otherwise.
tcflag_t speedCode(quint32 baud)
{
    static constexpr std::pair<quint32, tcflag_t> standard[] = {
        {300, B300},     {600, B600},     {1200, B1200},   {2400, B2400},     {4800, B4800},    {9600, B9600},
        {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}};
    for (const auto &[speed, code] : standard)
        if (speed == baud)
            return code;
    return BOTHER;
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    if (m_master >= 0)
        ::close(m_master);
}

bool PseudoTerminal::open(quint32 baud, QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || !configure(baud)) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
    // Open and close the slave once: from then on the master reports a hang-up whenever
    // nobody has the slave open, so nothing is written into an empty room.
    const int slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::close(slave);
    return true;
}

quint32 PseudoTerminal::lineSpeed() const
{
    struct termios2 settings
    {
    };
    if (::ioctl(m_master, TCGETS2, &settings) != 0)
        return 0;
    return settings.c_ospeed;
}

QByteArray PseudoTerminal::readAvailable()
{
    char buffer[4096];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    return count > 0 ? QByteArray(buffer, count) : QByteArray();
}

qsizetype PseudoTerminal::write(const QByteArray &bytes)
{
    const ssize_t count = ::write(m_master, bytes.constData(), bytes.size());
    return count > 0 ? count : 0;
}

bool PseudoTerminal::configure(quint32 baud)
{
    struct termios2 settings
    {
    };
    if (::ioctl(m_master, TCGETS2, &settings) != 0)
        return false;
    settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~(CSIZE | PARENB | CBAUD | (CBAUD << IBSHIFT));
    const tcflag_t code = speedCode(baud);
    settings.c_cflag |= CS8 | CREAD | CLOCAL | code | (code << IBSHIFT);
    settings.c_ispeed = baud;
    settings.c_ospeed = baud;
    return ::ioctl(m_master, TCSETS2, &settings) == 0;
}
