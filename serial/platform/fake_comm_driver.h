#pragma once

#include "serial/platform/comm_device.h"

#include <QStringList>

#include <mutex>

class FakeCommDevice;
class ManualClock;

/// Hands out one FakeCommDevice, reopened at every open, so a test can script it before the
/// component opens it and look at it after the component has closed it.
class FakeCommDriver : public CommDriver
{
  public:
    explicit FakeCommDriver(ManualClock &clock);

    std::shared_ptr<CommDevice> open(const QString &name, uint32_t &error) override;
    /// Names the code; the fake has no system to look at.
    QString openFailure(const QString &name, uint32_t error) const override;
    int32_t platformId() const override { return m_platformId; }
    /// As told by setPresent(); every question is counted.
    bool deviceExists(const QString &name) const override;
    /// As told by setIdentity() while the device is present.
    QString deviceIdentity(const QString &name) const override;
    QStringList availablePorts() const override;

    FakeCommDevice &device() { return *m_device; }
    /// Opening fails with code (NoError: opening works again).
    void failOpen(uint32_t code);
    void setPlatformId(int32_t id) { m_platformId = id; }
    /// Names the component asked for, in order.
    QStringList openedNames() const;
    /// Whether deviceExists() says the device is there. [true]
    void setPresent(bool present);
    int existenceChecks() const;
    /// What tells the device apart from another. ["fake device"]
    void setIdentity(const QString &identity);
    void setAvailablePorts(const QStringList &ports);

  private:
    std::shared_ptr<FakeCommDevice> m_device;
    mutable std::mutex m_mutex;
    uint32_t m_openError = 0;
    int32_t m_platformId = 2;
    QStringList m_openedNames;
    bool m_present = true;
    mutable int m_existenceChecks = 0;
    QString m_identity = QStringLiteral("fake device");
    QStringList m_availablePorts;
};
