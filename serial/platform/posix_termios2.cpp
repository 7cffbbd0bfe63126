#include "serial/platform/posix_termios2.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace {

struct StandardSpeed
{
    uint32_t baudRate;
    unsigned int code;
};

// Standard speeds keep their classic codes, so tools that read the plain termios see them.
constexpr StandardSpeed StandardSpeeds[] = {
    {50, B50},     {75, B75},       {110, B110},     {134, B134},     {150, B150},       {200, B200},
    {300, B300},   {600, B600},     {1200, B1200},   {1800, B1800},   {2400, B2400},     {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

unsigned int speedCode(uint32_t baudRate)
{
    for (const StandardSpeed &speed : StandardSpeeds)
        if (speed.baudRate == baudRate)
            return speed.code;
    return BOTHER;
}

} // namespace

namespace linespeed {

int setSpeed(int fd, uint32_t baudRate)
{
    ::termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return errno;
    const unsigned int code = speedCode(baudRate);
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= code | (code << IBSHIFT);
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
