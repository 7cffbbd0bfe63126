#include "serial/platform/posix_comm_driver.h"

#include "serial/tick_source.h"

#include <QRegularExpression>

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

std::shared_ptr<CommDevice> PosixCommDriver::open(const QString &name, uint32_t &error)
{
    if (devicePath(name).isEmpty()) {
        error = comm::ErrorFileNotFound;
        return nullptr;
    }
    error = comm::ErrorFileNotFound;
    return nullptr;
}
