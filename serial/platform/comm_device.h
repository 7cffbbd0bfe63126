#pragma once

#include "serial/platform/comm_types.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

/// An open serial device with the shape of the Win32 comm calls: each call returns NoError or
/// a system error code (comm_types.h). Read, write and the comm event wait are overlapped: they
/// complete at once (NoError), go pending (ErrorIoPending, finished later through
/// overlappedResult or, for the event wait, by its Status event), or fail.
///
/// After close() every call fails with ErrorInvalidHandle, so a thread that still holds the
/// device gets errors, never a dangling handle. Calls may come from two threads: the main thread
/// (settings, lines, writes, purge, close) and the worker (polls, reads, waits, write completion).
class CommDevice
{
  public:
    virtual ~CommDevice() = default;

    /// A number that identifies the open device (ComHandle).
    virtual uint32_t handle() const = 0;

    virtual uint32_t setupComm(uint32_t rxQueueSize, uint32_t txQueueSize) = 0;
    virtual uint32_t getCommState(comm::Dcb &dcb) = 0;
    /// ErrorInvalidParameter for settings the device cannot take; the old settings then stay.
    virtual uint32_t setCommState(const comm::Dcb &dcb) = 0;
    virtual uint32_t getCommTimeouts(comm::CommTimeouts &timeouts) = 0;
    virtual uint32_t setCommTimeouts(const comm::CommTimeouts &timeouts) = 0;
    /// Mask 0 ends a pending comm event wait with an empty mask.
    virtual uint32_t setCommMask(uint32_t mask) = 0;
    /// When pending, `mask` is filled in by the waitEvents call that finds the Status event
    /// signalled, so it must stay valid until then.
    virtual uint32_t waitCommEvent(uint32_t &mask) = 0;
    virtual uint32_t read(char *buffer, uint32_t count, uint32_t &got) = 0;
    /// The bytes are copied; the buffer may go when the call returns.
    virtual uint32_t write(const char *buffer, uint32_t count, uint32_t &written) = 0;
    /// Result of a pending read or write, without waiting: ErrorIoIncomplete while it runs.
    virtual uint32_t overlappedResult(comm::Op op, uint32_t &transferred) = 0;
    /// Returns and clears the line error flags (CE_) and reads the driver status.
    virtual uint32_t clearCommError(uint32_t &errors, comm::ComStat &stat) = 0;
    virtual uint32_t getModemStatus(uint32_t &status) = 0;
    virtual uint32_t escape(comm::Escape function) = 0;
    virtual uint32_t setBreak() = 0;
    virtual uint32_t clearBreak() = 0;
    virtual uint32_t purge(uint32_t flags) = 0;
    /// Waits up to timeoutMs for one of the events of `ops` (opBit mask). Returns NoError and the
    /// signalled one in `signalled`, WaitTimeout, or an error code.
    virtual uint32_t waitEvents(uint32_t ops, uint32_t timeoutMs, comm::Op &signalled) = 0;
    virtual uint32_t signalEvent(comm::Op op) = 0;
    virtual uint32_t resetEvent(comm::Op op) = 0;
    virtual uint32_t close() = 0;
};

/// Opens devices by port name.
class CommDriver
{
  public:
    virtual ~CommDriver() = default;

    /// Null and the error code on failure.
    virtual std::shared_ptr<CommDevice> open(const QString &name, uint32_t &error) = 0;

    /// Why the last open of `name` failed with `error`, in words that say what the user can do.
    virtual QString openFailure(const QString &name, uint32_t error) const = 0;

    /// Operating system family; 1 stands for the family whose driver misses ring changes.
    virtual int32_t platformId() const { return 2; }

    /// Whether the device of a port name is there to be opened; cheap enough to ask every second.
    virtual bool deviceExists(const QString &name) const = 0;

    /// What tells the device now under a port name from another that may appear there later, in
    /// words a user can read; empty when no device is there.
    virtual QString deviceIdentity(const QString &name) const = 0;

    /// Serial devices present on this machine, as port names a user can choose.
    virtual QStringList availablePorts() const = 0;
};
