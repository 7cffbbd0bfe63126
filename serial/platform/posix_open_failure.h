#pragma once

#include "serial/port_open_failure.h"

/// Gathers what the message of a failed open needs from this system: the device's group, the
/// process that holds it (from /proc, as far as this user may look), the serial ports there are:
/// the ttyS ports with a UART behind them, then `otherPorts`. `sysRoot` is where sysfs is mounted.
PortOpenFailure posixOpenFailure(const QString &device, int errorNumber, const QStringList &otherPorts,
                                 const QString &sysRoot = QStringLiteral("/sys"));
