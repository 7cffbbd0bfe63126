#pragma once

#include <QString>

/// What tells the device behind a path from another one that may later appear under the same
/// path, in words a user can read; empty when no device is there. A USB adapter is known by its
/// vendor, product and serial number (its USB port where it has none) and interface, whatever
/// node number it gets. Any other device is known by the node the path leads to, with its device
/// number, inode and the time the node was made, so a re-created link or node, or a reused
/// pseudo-terminal number, is another device. `sysRoot` is where sysfs is mounted.
QString posixDeviceIdentity(const QString &path, const QString &sysRoot = QStringLiteral("/sys"));
