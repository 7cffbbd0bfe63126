#include "serial/platform/posix_open_failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>

namespace {

QString groupOf(const QString &device)
{
    struct stat info{};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return {};
    const group *entry = getgrgid(info.st_gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(info.st_gid);
}

/// The first process found with the device open, as "name (process pid)".
QString holderOf(const QString &device)
{
    const QString node = QFileInfo(device).canonicalFilePath();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid.toInt() <= 0)
            continue;
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) != node)
                continue;
            QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
            const QString name = comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                                                : QStringLiteral("a program");
            return QStringLiteral("%1 (process %2)").arg(name, pid);
        }
    }
    return {};
}

/// ttyS nodes exist for every UART the kernel could drive; only those with a port behind them.
QStringList uartPorts(const QString &sysRoot)
{
    QStringList ports;
    const QDir dev(QStringLiteral("/dev"));
    for (const QString &name : dev.entryList({QStringLiteral("ttyS*")}, QDir::System, QDir::Name)) {
        QFile type(QStringLiteral("%1/class/tty/%2/type").arg(sysRoot, name));
        if (!type.open(QIODevice::ReadOnly) || type.readAll().trimmed() != "0")
            ports.append(dev.filePath(name));
    }
    return ports;
}

} // namespace

PortOpenFailure posixOpenFailure(const QString &device, int errorNumber, const QStringList &otherPorts,
                                 const QString &sysRoot)
{
    PortOpenFailure failure{device, errorNumber, {}, {}, {}};
    if (errorNumber == EACCES || errorNumber == EPERM)
        failure.group = groupOf(device);
    else if (errorNumber == EBUSY)
        failure.holder = holderOf(device);
    else if (errorNumber == ENOENT || errorNumber == ENODEV || errorNumber == ENXIO)
        for (const QString &port : uartPorts(sysRoot) + otherPorts)
            if (QFileInfo::exists(port))
                failure.ports.append(port);
    return failure;
}
