#pragma once

#include <QString>
#include <QStringList>

/// What is known about a serial device that would not open, gathered from the system by the
/// platform layer, and the message it makes: what went wrong and what the user can do.
struct PortOpenFailure
{
    QString device;
    /// errno of the failed open; EBUSY also for a device that another program has locked.
    int errorNumber = 0;
    /// The group the device belongs to, for a permission problem.
    QString group;
    /// The program that has the device open ("minicom (process 1234)"), when it can be found.
    QString holder;
    /// The serial ports there are, for a device that is missing.
    QStringList ports;

    QString message() const;
};
