#include "serial/port_open_failure.h"

#include <cerrno>
#include <cstring>

QString PortOpenFailure::message() const
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        if (group.isEmpty())
            return QStringLiteral("Permission denied for %1: ask for access to it.").arg(device);
        return QStringLiteral("Permission denied for %1, which belongs to the group %2: add yourself to the group "
                              "%2 and log in again.")
            .arg(device, group);
    case EBUSY:
        if (holder.isEmpty())
            return QStringLiteral("%1 is in use by another program.").arg(device);
        return QStringLiteral("%1 is in use by %2.").arg(device, holder);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (ports.isEmpty())
            return QStringLiteral("There is no device %1, and no serial port was found on this machine.").arg(device);
        return QStringLiteral("There is no device %1. Serial ports here: %2.").arg(device, ports.join(QStringLiteral(", ")));
    case ENOTTY:
        return QStringLiteral("%1 is not a serial port.").arg(device);
    default:
        return QStringLiteral("%1 could not be opened: %2.").arg(device, QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}
