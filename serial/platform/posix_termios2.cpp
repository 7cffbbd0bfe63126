#include "serial/platform/posix_termios2.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace linespeed {

int setSpeed(int fd, uint32_t baudRate)
{
    ::termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return errno;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = baudRate;
    settings.c_ospeed = baudRate;
    return ioctl(fd, TCSETS2, &settings) == 0 ? 0 : errno;
}

int speed(int fd, uint32_t &baudRate)
{
    ::termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return errno;
    baudRate = settings.c_ospeed;
    return 0;
}

} // namespace linespeed
