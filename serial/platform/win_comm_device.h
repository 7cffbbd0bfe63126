#pragma once

#include "serial/platform/comm_device.h"

#include <QByteArray>

#include <memory>
#include <mutex>
#include <windows.h>

/// A Windows comm device opened for overlapped I/O; every call is the Win32 call of the same
/// name, and its error codes are GetLastError's, but for two answers the worker must read alike
/// on every platform: an unplugged device (ErrorDeviceNotConnected) and a port without modem
/// lines (no error, no lines). Each overlapped operation has its own manual-reset event. The
/// events outlive close(), so a worker blocked in waitEvents never waits on a closed handle; the
/// destructor waits for operations still in flight, whose OVERLAPPED blocks and buffers the
/// system writes into.
class WinCommDevice : public CommDevice
{
  public:
    /// Takes over handle, which must be a comm device opened with FILE_FLAG_OVERLAPPED. Null and
    /// the error code when the events cannot be made; the handle is closed then.
    static std::shared_ptr<WinCommDevice> take(HANDLE handle, uint32_t &error);

    WinCommDevice(HANDLE handle, const HANDLE (&events)[3]);
    ~WinCommDevice() override;
    WinCommDevice(const WinCommDevice &) = delete;
    WinCommDevice &operator=(const WinCommDevice &) = delete;

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
    /// Runs call under the lock, or fails with ErrorInvalidHandle once closed.
    template <typename Call> uint32_t whileOpen(Call call);
    OVERLAPPED &overlapped(comm::Op op) { return m_overlapped[static_cast<int>(op)]; }
    bool &started(comm::Op op) { return m_started[static_cast<int>(op)]; }
    /// Whether the system may still write into the operation's OVERLAPPED and buffer.
    bool inFlight(comm::Op op);
    /// Starts an overlapped call: NoError when it completed at once, else its error code.
    uint32_t start(comm::Op op, BOOL done);
    /// GetOverlappedResult without waiting.
    uint32_t completion(comm::Op op, uint32_t &transferred);
    void finishCommWait();

    mutable std::mutex m_mutex;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_closed = false;
    OVERLAPPED m_overlapped[3] = {};
    // Set while an operation went pending and may not have completed yet.
    bool m_started[3] = {false, false, false};
    // Where the system puts the events of a pending comm event wait, and where they go then.
    DWORD m_commEvents = 0;
    uint32_t *m_maskOut = nullptr;
    QByteArray m_writeBuffer;
};
