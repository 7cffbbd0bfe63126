#pragma once

#include "serial/platform/comm_device.h"

#include <atomic>

/// Serial devices of Windows. "COM1" to "COM256" (any case) open as \\.\COMn; a name starting
/// with \\.\ is a device path taken as it is.
class WinCommDriver : public CommDriver
{
  public:
    std::shared_ptr<CommDevice> open(const QString &name, uint32_t &error) override;
    QString openFailure(const QString &name, uint32_t error) const override;
    bool deviceExists(const QString &name) const override;
    /// The system's device behind the name ("\Device\Serial0").
    QString deviceIdentity(const QString &name) const override;
    /// The COM ports the system knows, in number order.
    QStringList availablePorts() const override;

    /// The path a port name opens; empty when the name is neither form.
    static QString devicePath(const QString &name);

  private:
    uint32_t fail(uint32_t error);

    // Win32 error of the last failed open, for openFailure().
    std::atomic<uint32_t> m_lastError{0};
};
