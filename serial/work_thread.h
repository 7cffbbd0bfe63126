#pragma once

#include "serial/platform/comm_types.h"
#include "serial/serial_port.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class CommDevice;

/// The worker of a TSerialPort: polls the open line, cuts received bytes into clusters, waits
/// for comm events, completes writes, and hands every event, cluster and report to the main
/// thread by a synchronized call. Idles while the port is closed.
class TWorkThread
{
  public:
    /// Starts the thread at once.
    explicit TWorkThread(TSerialPort &port);
    /// Waits for the thread to end, serving its synchronized calls meanwhile.
    ~TWorkThread();

    /// The loop ends at the end of a pass in which the port is closed and nothing is outstanding.
    void Terminate();

  private:
    void Execute();
    void Pass();
    void ActivePass();
    void WaitForCompletions();
    void WindDown();
    /// False when the device has gone; the port is closed then.
    bool PollLineStatus();
    bool PollModemStatus();
    bool LoseDevice(uint32_t code);
    void ReadIfDue();
    bool ClusterDue(uint32_t count, uint32_t now) const;
    void ReadDone();
    void HandOverCluster(const QByteArray &bytes);
    void StartCommWait();
    void CommWaitDone();
    void DispatchCommEvents();
    void CheckWriteDone();
    void AbandonWrite(uint32_t written, uint32_t place, uint32_t code, const char *msg);
    void SignalEvent(comm::Op op);
    void ResetEvent(comm::Op op);
    void Raise(TSerialPort::TNotifyEvent TSerialPort::*event);
    void Report(uint32_t place, uint32_t code, const char *msg);
    void Synchronize(const std::function<void()> &routine);

    TSerialPort &m_port;
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
    uint32_t m_openCount = 0;
    QByteArray m_readBuffer;
    uint32_t m_bytesRead = 0;

    std::thread m_thread;
};
