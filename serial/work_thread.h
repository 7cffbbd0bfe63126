#pragma once

#include "serial/platform/comm_types.h"
#include "serial/worker_port.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class CommDevice;

/// The worker of a TSerialPort: polls the open line, cuts received bytes into clusters, waits
/// for comm events, completes writes, and hands every event, cluster and report to the main
/// thread by a synchronized call. Idles while the port is closed.
class TWorkThread
{
  public:
    /// Starts the thread at once.
    explicit TWorkThread(WorkerPort &port);
    /// Waits for the thread to end, serving its synchronized calls meanwhile.
    ~TWorkThread();

    /// The loop ends at the end of a pass in which the port is closed and nothing is outstanding.
    void terminate();

  private:
    void execute();
    void pass();
    void activePass();
    void waitForCompletions();
    void windDown();
    /// False when the device has gone; the port is closed then.
    bool pollLineStatus();
    bool pollModemStatus();
    bool loseDevice(uint32_t code);
    void readIfDue();
    bool clusterDue(uint32_t count, uint32_t now) const;
    void readDone();
    void handOverCluster(const QByteArray &bytes);
    void startCommWait();
    void commWaitDone();
    void dispatchCommEvents();
    void checkWriteDone();
    void abandonWrite(uint32_t written, uint32_t place, uint32_t code, const char *msg);
    void signalEvent(comm::Op op);
    void resetEvent(comm::Op op);
    void raise(PortEvent event);
    void report(uint32_t place, uint32_t code, const char *msg);

    WorkerPort &m_port;
    std::shared_ptr<CommDevice> m_device;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_finished{false};

    // Loop state, touched by the worker only.
    bool m_runFlag = false;
    bool m_readPending = false;
    bool m_waitPending = false;
    bool m_commWaitFailed = false;
    uint32_t m_eventMask = 0;
    uint32_t m_modemStatus = 0;
    uint32_t m_lineErrors = 0;
    comm::ComStat m_comStat;
    uint32_t m_lastReadTick = 0;
    // When this thread first saw the bytes that wait now.
    std::optional<uint32_t> m_oldestByteTick;
    uint32_t m_openCount = 0;
    QByteArray m_readBuffer;

    std::thread m_thread;
};
