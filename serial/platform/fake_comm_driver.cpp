#include "serial/platform/fake_comm_driver.h"

#include "serial/platform/fake_comm_device.h"

FakeCommDriver::FakeCommDriver(ManualClock &clock) : m_device(std::make_shared<FakeCommDevice>(clock)) {}

std::shared_ptr<CommDevice> FakeCommDriver::open(const QString &name, uint32_t &error)
{
    std::lock_guard lock(m_mutex);
    m_openedNames.append(name);
    error = m_openError;
    if (error)
        return nullptr;
    m_device->reopen();
    return m_device;
}

QString FakeCommDriver::openFailure(const QString &name, uint32_t error) const
{
    return QStringLiteral("%1 could not be opened: error %2.").arg(name).arg(error);
}

void FakeCommDriver::failOpen(uint32_t code)
{
    std::lock_guard lock(m_mutex);
    m_openError = code;
}

QStringList FakeCommDriver::openedNames() const
{
    std::lock_guard lock(m_mutex);
    return m_openedNames;
}

bool FakeCommDriver::deviceExists(const QString &) const
{
    std::lock_guard lock(m_mutex);
    ++m_existenceChecks;
    return m_present;
}

QString FakeCommDriver::deviceIdentity(const QString &) const
{
    std::lock_guard lock(m_mutex);
    return m_present ? m_identity : QString();
}

void FakeCommDriver::setIdentity(const QString &identity)
{
    std::lock_guard lock(m_mutex);
    m_identity = identity;
}

QStringList FakeCommDriver::availablePorts() const
{
    std::lock_guard lock(m_mutex);
    return m_availablePorts;
}

void FakeCommDriver::setPresent(bool present)
{
    std::lock_guard lock(m_mutex);
    m_present = present;
}

int FakeCommDriver::existenceChecks() const
{
    std::lock_guard lock(m_mutex);
    return m_existenceChecks;
}

void FakeCommDriver::setAvailablePorts(const QStringList &ports)
{
    std::lock_guard lock(m_mutex);
    m_availablePorts = ports;
}
