#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class CommDevice;
class TickSource;
class TSerialCluster;

/// The component's notification events that the worker raises.
enum class PortEvent {
    RxCluster,
    RxChar,
    RxEventChar,
    TxQueueEmpty,
    Break,
    CTS,
    DSR,
    LineError,
    Ring,
    RLSD,
    Comm,
    CommStat,
    WriteDone,
};

/// What the serial worker sees of its port: the settings and state it reads as it goes, the
/// status it writes, and the calls it hands to the main thread. Calls marked "main thread" run
/// only inside synchronize(); everything else is safe from the worker thread.
class WorkerPort
{
  public:
    /// The cluster rule's settings, read afresh at every pass.
    struct ReceiveRule
    {
        uint32_t clusterSize = 0;
        uint32_t charDelayUs = 0;
        uint32_t extraDelayMs = 0;
    };

    /// The write the main thread started; the worker completes it.
    struct PendingWrite
    {
        bool inProgress = false;
        uint32_t requested = 0;
        uint32_t startTick = 0;
        uint32_t written = 0;
        uint32_t charDelayUs = 0;
        uint32_t extraDelayMs = 0;
    };

    /// The results of one line poll: CE_ flags, the low byte of the COMSTAT flags, queue counts.
    struct LineStatus
    {
        uint32_t errors = 0;
        uint8_t flags = 0;
        uint32_t inQueue = 0;
        uint32_t outQueue = 0;

        bool operator==(const LineStatus &) const = default;
    };

    /// How often the port has opened, and when it last did.
    struct Opening
    {
        uint32_t count = 0;
        uint32_t tick = 0;
    };

    virtual TickSource &ticks() const = 0;
    virtual int32_t platformId() const = 0;
    virtual std::shared_ptr<CommDevice> device() const = 0;
    virtual bool active() const = 0;
    virtual bool destroying() const = 0;
    virtual Opening lastOpening() const = 0;
    virtual ReceiveRule receiveRule() const = 0;
    virtual bool readRequested() const = 0;
    virtual void clearReadRequest() = 0;
    virtual PendingWrite pendingWrite() const = 0;
    /// Ends the write in progress with `written` bytes on the line.
    virtual void finishWrite(uint32_t written) = 0;
    /// Whether a lost port should look for its device now; how long an idle worker may sleep.
    virtual bool reconnectDue(uint32_t now) = 0;
    virtual uint32_t untilReconnectCheck(uint32_t now, uint32_t limit) const = 0;

    virtual void setThreadRunning(bool running) = 0;
    /// Stores a poll's results; false when they equal the stored ones.
    virtual bool storeLineStatus(const LineStatus &status) = 0;
    virtual uint32_t modemState() const = 0;
    virtual void storeModemState(uint32_t status) = 0;
    /// The state of the modem line that `event` stands for (CTS, DSR, Ring, RLSD).
    virtual void storeModemLine(PortEvent event, bool on) = 0;
    virtual void storeCommEvent(uint32_t mask) = 0;
    /// Whether the owner has a handler for `event`.
    virtual bool handles(PortEvent event) const = 0;

    /// Runs `routine` in the main thread and returns once it has run.
    virtual void synchronize(const std::function<void()> &routine) = 0;
    /// Main thread: runs the routines waiting now; false when none waited.
    virtual bool serveSynchronized() = 0;
    // Main thread.
    virtual void raise(PortEvent event) = 0;
    /// A report of the worker, at error level.
    virtual void report(uint32_t place, uint32_t code, const char *msg) = 0;
    virtual void addCluster(std::unique_ptr<TSerialCluster> cluster) = 0;
    virtual void deviceLost(uint32_t code) = 0;
    virtual void lookForDevice() = 0;

  protected:
    ~WorkerPort() = default;
};
