#pragma once

#include "serial/platform/comm_device.h"
#include "serial/platform/overlapped_state.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

class ManualClock;

/// The device calls a fake can be told to fail.
enum class FakeCall {
    SetupComm,
    GetCommState,
    SetCommState,
    GetCommTimeouts,
    SetCommTimeouts,
    SetCommMask,
    WaitCommEvent,
    Read,
    Write,
    OverlappedResult,
    ClearCommError,
    GetModemStatus,
    Escape,
    SetBreak,
    ClearBreak,
    Purge,
    WaitEvents,
    SignalEvent,
    ResetEvent,
    Close,
};

/// A scripted serial device on a manual clock. Bytes arrive at chosen times, modem lines and
/// line errors change when told, any call fails with a chosen code, and everything written or
/// set can be looked at. Reads and writes complete at once unless held; a held operation goes
/// pending until the test finishes it.
class FakeCommDevice : public CommDevice
{
  public:
    explicit FakeCommDevice(ManualClock &clock);

    // Script.
    /// Bytes arrive delayMs from now, one every perByteUs microseconds.
    void receive(const QByteArray &bytes, uint32_t delayMs = 0, uint32_t perByteUs = 0);
    void setModemStatus(uint32_t status);
    void raiseLineErrors(uint32_t errors);
    void setOutQueue(uint32_t count);
    /// Comm events the driver reports, all in one.
    void raiseEvents(uint32_t events);
    /// code fails the next `times` calls (-1: every call until cleared with NoError).
    void fail(FakeCall call, uint32_t code, int times = -1);
    /// setCommState refuses (code 87) every line setting for which the rule holds, as a driver
    /// refuses what its hardware cannot do; an empty rule takes everything.
    void refuseSettings(std::function<bool(const comm::Dcb &)> rule);
    void holdReads(bool hold);
    void holdWrites(bool hold);
    /// Ends the held write after `transferred` bytes have reached the line.
    void finishWrite(uint32_t transferred);
    /// Ends the held read with these bytes.
    void finishRead(const QByteArray &bytes);
    void reopen();

    // Inspection.
    QByteArray written() const;
    comm::Dcb dcb() const;
    comm::CommTimeouts timeouts() const;
    uint32_t mask() const;
    QList<comm::Escape> escapes() const;
    bool breakOn() const;
    uint32_t rxQueueSize() const;
    uint32_t txQueueSize() const;
    QList<uint32_t> purges() const;
    int calls(FakeCall call) const;
    bool closed() const;

    // Device.
    uint32_t handle() const override;
    uint32_t setupComm(uint32_t rxQueueSize, uint32_t txQueueSize) override;
    uint32_t getCommState(comm::Dcb &dcb) override;
    uint32_t setCommState(const comm::Dcb &dcb) override;
    uint32_t getCommTimeouts(comm::CommTimeouts &timeouts) override;
    uint32_t setCommTimeouts(const comm::CommTimeouts &timeouts) override;
    uint32_t setCommMask(uint32_t mask) override;
    uint32_t waitCommEvent(uint32_t &mask) override;
    uint32_t read(char *buffer, uint32_t count, uint32_t &got) override;
    uint32_t write(const char *buffer, uint32_t count, uint32_t &written) override;
    uint32_t overlappedResult(comm::Op op, uint32_t &transferred) override;
    uint32_t clearCommError(uint32_t &errors, comm::ComStat &stat) override;
    uint32_t getModemStatus(uint32_t &status) override;
    uint32_t escape(comm::Escape function) override;
    uint32_t setBreak() override;
    uint32_t clearBreak() override;
    uint32_t purge(uint32_t flags) override;
    uint32_t waitEvents(uint32_t ops, uint32_t timeoutMs, comm::Op &signalled) override;
    uint32_t signalEvent(comm::Op op) override;
    uint32_t resetEvent(comm::Op op) override;
    uint32_t close() override;

  private:
    using Lock = std::unique_lock<std::mutex>;

    Lock enter(FakeCall call, uint32_t &error);
    void arrive(uint64_t now);
    uint64_t nextArrival() const;

    ManualClock &m_clock;
    mutable std::mutex m_mutex;
    std::multimap<uint64_t, char> m_schedule;
    QByteArray m_input;
    uint32_t m_lineErrors = 0;
    uint32_t m_modemStatus = 0;
    uint32_t m_outQueue = 0;
    std::map<FakeCall, std::pair<uint32_t, int>> m_failures;
    std::map<FakeCall, int> m_calls;
    bool m_closed = false;

    comm::Dcb m_dcb;
    std::function<bool(const comm::Dcb &)> m_refused;
    comm::CommTimeouts m_timeouts;
    QList<comm::Escape> m_escapes;
    bool m_break = false;
    uint32_t m_rxQueueSize = 0;
    uint32_t m_txQueueSize = 0;
    QList<uint32_t> m_purges;
    OverlappedState m_state;

    bool m_holdReads = false;
    bool m_readPending = false;
    uint32_t m_readResult = comm::ErrorIoIncomplete;
    char *m_readBuffer = nullptr;
    uint32_t m_readCount = 0;
    QByteArray m_readBytes;

    bool m_holdWrites = false;
    bool m_writePending = false;
    uint32_t m_writeResult = comm::ErrorIoIncomplete;
    QByteArray m_writeBytes;
    uint32_t m_writeTransferred = 0;
    QByteArray m_written;
};
