#pragma once

#include "serial/platform/comm_device.h"

#include <atomic>

class TickSource;

/// Serial devices of a POSIX system (termios). "COMn" is the device named by the environment
/// variable KORVANE_COMn, else /dev/ttyS<n-1>; a name starting with "/" is a device path.
class PosixCommDriver : public CommDriver
{
  public:
    explicit PosixCommDriver(std::shared_ptr<TickSource> ticks);

    std::shared_ptr<CommDevice> open(const QString &name, uint32_t &error) override;
    QString openFailure(const QString &name, uint32_t error) const override;
    bool deviceExists(const QString &name) const override;
    QString deviceIdentity(const QString &name) const override;
    /// USB adapters (ttyUSB, ttyACM, numbered in order), their by-id names, then the paths
    /// that KORVANE_COMn variables name.
    QStringList availablePorts() const override;

    /// The device path a port name stands for; empty when the name is neither form.
    static QString devicePath(const QString &name);

  private:
    uint32_t prepare(int fd);
    uint32_t fail(int errorNumber);

    std::shared_ptr<TickSource> m_ticks;
    // errno of the last failed open, for openFailure().
    std::atomic<int> m_lastErrno{0};
};
