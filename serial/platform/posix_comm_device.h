#pragma once

#include "serial/platform/comm_device.h"
#include "serial/platform/overlapped_state.h"

#include <QByteArray>

#include <condition_variable>
#include <memory>
#include <mutex>

class TickSource;

/// A termios serial device opened by PosixCommDriver. It reads the line into a buffer of its
/// own, so it can tell queue counts, received-character and event-character events, line errors
/// (marked in the stream by the terminal driver) and strip NUL bytes. Reads never go pending;
/// a write that the device cannot take at once goes pending and is pushed on by
/// overlappedResult until it is done or its time-out has passed.
class PosixCommDevice : public CommDevice
{
  public:
    /// Takes over fd, which must be a tty opened non-blocking and locked for this program.
    PosixCommDevice(int fd, int wakeFd, std::shared_ptr<TickSource> ticks);
    ~PosixCommDevice() override;

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

    /// Line settings as the device holds them when it is opened.
    static uint32_t readDcb(int fd, comm::Dcb &dcb);

  private:
    using Lock = std::unique_lock<std::mutex>;

    /// Runs call under the lock, or fails with ErrorInvalidHandle once closed.
    template <typename Call> uint32_t whileOpen(Call call);
    void pump();
    void takeBytes(const char *bytes, const char *end);
    void takeByte(char byte);
    void addRun(const char *bytes, const char *end);
    void takeMarked(char byte);
    void addData(char byte);
    void noticeModemChanges();
    void noticeOverruns();
    void noticeTxEmpty();
    uint32_t outQueue() const;
    uint32_t pushOutput();
    uint32_t pollOnce(Lock &lock, uint32_t timeoutMs);
    uint32_t withoutLines(int result);
    uint32_t modemIoctl(unsigned long request, int bits);
    void wake();

    const std::shared_ptr<TickSource> m_ticks;
    mutable std::mutex m_mutex;
    std::condition_variable m_pollDone;
    int m_fd;
    const int m_wakeFd;
    bool m_closed = false;
    int m_polling = 0;
    bool m_hungUp = false;

    comm::Dcb m_dcb;
    comm::CommTimeouts m_timeouts;
    uint32_t m_rxQueueSize = 65536;
    uint32_t m_txQueueSize = 4096;
    OverlappedState m_state;

    QByteArray m_input;
    int m_markState = 0;
    uint32_t m_lineErrors = 0;
    bool m_modemLines = true;
    uint32_t m_lastModem = 0;
    bool m_countsOverruns = true;
    int m_lastOverruns = 0;

    bool m_writePending = false;
    bool m_writeAborted = false;
    bool m_txBusy = false;
    QByteArray m_output;
    uint32_t m_writeSent = 0;
    uint32_t m_writeStart = 0;
    uint32_t m_writeTimeout = 0;
};
