#include "serial/platform/posix_comm_driver.h"

#include "serial/platform/posix_comm_device.h"
#include "serial/platform/posix_device_identity.h"
#include "serial/platform/posix_error.h"
#include "serial/platform/posix_open_failure.h"
#include "serial/tick_source.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

PosixCommDriver::PosixCommDriver(std::shared_ptr<TickSource> ticks) : m_ticks(std::move(ticks)) {}

QString PosixCommDriver::devicePath(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')))
        return name;
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(name);
    if (!match.hasMatch())
        return {};
    const int number = match.captured(1).toInt();
    const QByteArray variable = "KORVANE_COM" + QByteArray::number(number);
    const QString configured = qEnvironmentVariable(variable.constData());
    if (!configured.isEmpty())
        return configured;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

bool PosixCommDriver::deviceExists(const QString &name) const
{
    const QString path = devicePath(name);
    return !path.isEmpty() && ::access(QFile::encodeName(path).constData(), F_OK) == 0;
}

QString PosixCommDriver::deviceIdentity(const QString &name) const
{
    const QString path = devicePath(name);
    return path.isEmpty() ? QString() : posixDeviceIdentity(path);
}

QStringList PosixCommDriver::availablePorts() const
{
    QCollator numeric;
    numeric.setNumericMode(true);
    const auto sorted = [&numeric](QStringList names) {
        std::sort(names.begin(), names.end(), numeric);
        return names;
    };
    QStringList ports;
    for (const QString &pattern : {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")})
        for (const QString &name : sorted(QDir(QStringLiteral("/dev")).entryList({pattern}, QDir::System)))
            ports.append(QStringLiteral("/dev/") + name);
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QString &name : byId.entryList(QDir::System | QDir::Files, QDir::Name))
        ports.append(byId.filePath(name));
    static const QRegularExpression variable(QStringLiteral("^KORVANE_COM[0-9]+$"));
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &key : sorted(environment.keys().filter(variable)))
        ports.append(environment.value(key));
    ports.removeAll(QString());
    ports.removeDuplicates();
    return ports;
}

std::shared_ptr<CommDevice> PosixCommDriver::open(const QString &name, uint32_t &error)
{
    const QString path = devicePath(name);
    if (path.isEmpty()) {
        m_lastErrno = ENOENT;
        error = comm::ErrorFileNotFound;
        return nullptr;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = fail(errno);
        return nullptr;
    }
    error = prepare(fd);
    const int wakeFd = error ? -1 : eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (!error && wakeFd < 0)
        error = fail(errno);
    if (error) {
        ::close(fd);
        return nullptr;
    }
    return std::make_shared<PosixCommDevice>(fd, wakeFd, m_ticks);
}

uint32_t PosixCommDriver::fail(int errorNumber)
{
    m_lastErrno = errorNumber;
    return commErrorFromErrno(errorNumber);
}

QString PosixCommDriver::openFailure(const QString &name, uint32_t) const
{
    const QString path = devicePath(name);
    return posixOpenFailure(path.isEmpty() ? name : path, m_lastErrno, availablePorts()).message();
}

uint32_t PosixCommDriver::prepare(int fd)
{
    // A port belongs to one program at a time; a tty does not refuse a second opener by itself.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_lastErrno = errno == EWOULDBLOCK ? EBUSY : errno;
        return errno == EWOULDBLOCK ? comm::ErrorAccessDenied : commErrorFromErrno(errno);
    }
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        m_lastErrno = errno;
        return errno == ENOTTY ? comm::ErrorFileNotFound : commErrorFromErrno(errno);
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_iflag |= PARMRK;
    // VMIN 1 with O_NONBLOCK: an empty read says EAGAIN, so a read of 0 means the line hung up.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &settings) == 0 ? comm::NoError : fail(errno);
}
