#pragma once

#include <QByteArray>
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

/// The instrument's end of a pseudo-terminal, made raw. Closing it makes the other end vanish,
/// as a USB adapter that is pulled out; a program the bench starts does not inherit it.
class PtyInstrument
{
  public:
    PtyInstrument()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        grantpt(m_fd);
        unlockpt(m_fd);
        termios settings{};
        tcgetattr(m_fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(m_fd, TCSANOW, &settings);
    }
    ~PtyInstrument() { ::close(m_fd); }
    PtyInstrument(const PtyInstrument &) = delete;
    PtyInstrument &operator=(const PtyInstrument &) = delete;

    QString slave() const { return QString::fromLocal8Bit(ptsname(m_fd)); }

    /// Hangs up the program's end as a pulled adapter does; the terminal itself stays and can be
    /// opened again. False without the privilege it takes (CAP_SYS_ADMIN).
    bool hangUp() const
    {
        const int fd = ::open(ptsname(m_fd), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        const bool done = fd >= 0 && ioctl(fd, TIOCVHANGUP) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }

    void send(const QByteArray &bytes) const
    {
        if (::write(m_fd, bytes.constData(), bytes.size()) != bytes.size())
            std::abort();
    }

  private:
    int m_fd;
};
