#include "serial/platform/posix_device_identity.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

QString attribute(const QDir &dir, const QString &name)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

/// The USB device above the tty's sysfs folder, named by what stays when it is plugged in again.
QString usbIdentity(const QString &sysRoot, dev_t device)
{
    const QString tty =
        QFileInfo(QStringLiteral("%1/dev/char/%2:%3").arg(sysRoot).arg(major(device)).arg(minor(device)))
            .canonicalFilePath();
    if (tty.isEmpty())
        return {};
    QString interface;
    for (QDir dir(tty); dir.cdUp() && dir.path().length() > sysRoot.length();) {
        const QString vendor = attribute(dir, QStringLiteral("idVendor"));
        if (vendor.isEmpty()) {
            interface = dir.dirName();
            continue;
        }
        // Interface folders are named "<usb port>:<configuration>.<interface>".
        interface = interface.section(QLatin1Char(':'), 1);
        const QString product = attribute(dir, QStringLiteral("idProduct"));
        const QString serial = attribute(dir, QStringLiteral("serial"));
        const QString where = serial.isEmpty() ? QStringLiteral("at USB port %1").arg(dir.dirName())
                                               : QStringLiteral("serial number %1").arg(serial);
        return QStringLiteral("USB %1:%2 %3 interface %4").arg(vendor, product, where, interface);
    }
    return {};
}

} // namespace

QString posixDeviceIdentity(const QString &path, const QString &sysRoot)
{
    const QString node = QFileInfo(path).canonicalFilePath();
    struct stat info{};
    if (node.isEmpty() || ::stat(QFile::encodeName(node).constData(), &info) != 0 || !S_ISCHR(info.st_mode))
        return {};
    if (QString usb = usbIdentity(sysRoot, info.st_rdev); !usb.isEmpty())
        return usb;
    const QString made = QDateTime::fromSecsSinceEpoch(info.st_ctim.tv_sec).toString(Qt::ISODate);
    return QStringLiteral("%1 (device %2:%3, inode %4, made %5.%6)")
        .arg(node)
        .arg(major(info.st_rdev))
        .arg(minor(info.st_rdev))
        .arg(info.st_ino)
        .arg(made)
        .arg(info.st_ctim.tv_nsec, 9, 10, QLatin1Char('0'));
}
