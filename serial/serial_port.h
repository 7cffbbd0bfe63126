#pragma once

#include "serial/event_slot.h"
#include "serial/reconnect_watcher.h"
#include "serial/worker_port.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class CommDevice;
class CommDriver;
class TickSource;
class TSerialCluster;
class TWorkThread;
class SyncQueue;

/// Bits of CommStateFlags: the low byte of the driver's status word.
enum TComStateFlag : uint8_t {
    fCtlHold = 0x01,
    fDsrHold = 0x02,
    fRlsHold = 0x04,
    fXoffHold = 0x08,
    fXOffSent = 0x10,
    fEof = 0x20,
    fTxim = 0x40,
};
using TComStateFlags = uint8_t;

/// Where the component finds its ports and its time. The default is the operating system's
/// serial devices and real time; tests use the fake driver and a manual clock.
struct SerialBackend
{
    std::shared_ptr<CommDriver> driver;
    std::shared_ptr<TickSource> ticks;

    static SerialBackend system();
};

/// One serial port with its worker thread.
///
/// Every call belongs to the thread that created the component (the main thread); every event
/// handler runs there too, while the main thread serves its event loop. The worker thread polls
/// the line, cuts the received bytes into clusters when the line goes quiet or ClusterSize bytes
/// wait, and hands each cluster and event over by a synchronized call it waits for.
///
/// Nothing throws. Every problem becomes a report (place, system error code, message, level
/// 0 error / 1 warning / 2 progress message) passed to OnProcessError when its level does not
/// exceed ErrorNoise and the component is not being destroyed.
///
/// Properties are getter/setter pairs; setters act at once: a changed line setting is written to
/// the open port, a changed CommPort reopens an open port.
///
/// Tests: build it with SerialBackend{std::make_shared<FakeCommDriver>(*clock), clock} where clock
/// is a std::shared_ptr<ManualClock>; time then moves only by clock->advance(), and the worker's
/// synchronized calls run when the test's thread processes its events.
class TSerialPort : public QObject, private WorkerPort
{
  public:
    /// Assign a callable (a lambda) or nullptr; call like a function.
    using TNotifyEvent = EventSlot<void(TSerialPort *Sender)>;
    /// Sender is the component's owner (its parent), not the component.
    using TNotifyErrorEvent = EventSlot<void(QObject *Sender, uint32_t Place, uint32_t Code, const QString &Msg)>;

    /// Starts the worker at once; the port is closed until SetActive(true).
    explicit TSerialPort(QObject *owner = nullptr);
    TSerialPort(QObject *owner, SerialBackend backend);
    /// Closes the port, ends the worker (serving its synchronized calls meanwhile) and frees
    /// the clusters still waiting.
    ~TSerialPort() override;

    // Configuration. Initial values in brackets.

    /// Device name: "COMn" (the variable KORVANE_COMn if set, else /dev/ttyS<n-1>) or a path
    /// starting with "/". At most 255 characters kept. ["COM2"]
    QString CommPort() const;
    void SetCommPort(const QString &value);
    /// Bits per second. [9600]
    uint32_t BaudRate() const;
    void SetBaudRate(uint32_t value);
    /// 0 none, 1 odd, 2 even, 3 mark, 4 space. [0]
    uint8_t ParityType() const;
    void SetParityType(uint8_t value);
    /// Replaces a byte received with a parity error, when ParityErrorReplacement. [0]
    char ParityErrorChar() const;
    void SetParityErrorChar(char value);
    bool ParityErrorReplacement() const; // [false]
    void SetParityErrorReplacement(bool value);
    /// 0 one, 1 one and a half, 2 two. [0]
    uint8_t StopBits() const;
    void SetStopBits(uint8_t value);
    uint8_t DataBits() const; // [8]
    void SetDataBits(uint8_t value);
    char XONChar() const; // [17]
    void SetXONChar(char value);
    char XOFFChar() const; // [19]
    void SetXOFFChar(char value);
    /// Percent of RxQueueSize used as XON limit; above 100 is clamped with a warning. [33]
    uint8_t XONLimDiv() const;
    void SetXONLimDiv(uint8_t value);
    uint8_t XOFFLimDiv() const; // [33]
    void SetXOFFLimDiv(uint8_t value);
    /// Flag bits OR-ed into the line settings: 0 none, 896 XON/XOFF, 8196 RTS/CTS, 40 DSR/DTR. [0]
    int32_t FlowControl() const;
    void SetFlowControl(int32_t value);
    bool StripNullChars() const; // [false]
    void SetStripNullChars(bool value);
    /// Received character that raises OnRxEventCharEvent. [0]
    char EventChar() const;
    void SetEventChar(char value);
    /// Receive allowance per waiting byte, microseconds. [1100]
    uint32_t RTOCharDelayTime() const;
    void SetRTOCharDelayTime(uint32_t value);
    /// Fixed receive allowance, milliseconds. [250]
    uint16_t RTOExtraDelayTime() const;
    void SetRTOExtraDelayTime(uint16_t value);
    /// Queue level at which waiting bytes are read without waiting for a quiet line. [3072]
    uint16_t ClusterSize() const;
    void SetClusterSize(uint16_t value);
    uint16_t RxQueueSize() const; // [4096]
    void SetRxQueueSize(uint16_t value);
    uint16_t TxQueueSize() const; // [4096]
    void SetTxQueueSize(uint16_t value);
    /// Write time-out per byte, microseconds. [1100]
    uint32_t WTOCharDelayTime() const;
    void SetWTOCharDelayTime(uint32_t value);
    /// Fixed write time-out, milliseconds. [250]
    uint16_t WTOExtraDelayTime() const;
    void SetWTOExtraDelayTime(uint16_t value);
    /// When true a BaudRate change sets both char delay times from the speed table. [true]
    bool XTOAuto() const;
    void SetXTOAuto(bool value);
    /// Modem output lines and break; the setters act only while the port is open. [true, true, false]
    bool RTSState() const;
    void SetRTSState(bool value);
    bool DTRState() const;
    void SetDTRState(bool value);
    bool BREAKState() const;
    void SetBREAKState(bool value);
    /// Highest report level that reaches OnProcessError. [255]
    uint8_t ErrorNoise() const;
    void SetErrorNoise(uint8_t value);
    /// Makes the worker read whatever waits at its next pass; it clears the flag after the read.
    bool ReadRequest() const;
    void SetReadRequest(bool value);
    /// True while the port is open. [false]
    bool Active() const;
    /// Setting false also ends the wait for a lost device: a port closed on purpose stays closed.
    void SetActive(bool value);
    /// When true, a port whose device went away, or was not there to be opened, reopens by
    /// itself with its settings once the device is back; it is looked for once a second. [false]
    bool AutoReconnect() const;
    void SetAutoReconnect(bool value);

    // Status, written by the component and its worker.

    /// Device handle; 4294967295 while closed.
    uint32_t ComHandle() const;
    /// How often the port has opened. A user of the port that sees it change knows that the line
    /// was closed in between, however quickly it came back.
    uint32_t OpenCount() const;
    bool CTSState() const;
    bool DSRState() const;
    bool RLSDState() const;
    bool RingState() const;
    /// True while a write is outstanding; a send made meanwhile is refused.
    bool SendInProgress() const;
    /// Bytes written by the last completed or abandoned write.
    uint32_t WrittenBytes() const;
    /// CE_ flags of the worker's last line poll.
    uint32_t CommError() const;
    TComStateFlags CommStateFlags() const;
    uint32_t CommStateInQueue() const;
    uint32_t CommStateOutQueue() const;
    /// MS_ flags of the last modem status poll.
    uint32_t ModemState() const;
    /// EV_ flags of the comm event dispatched last.
    uint32_t CommEvent() const;
    /// True from the moment the device went away until the port opens again or is closed on
    /// purpose.
    bool Lost() const;
    /// Why the port did not open at its last try, with what the user can do; empty once it opens.
    QString OpenFailure() const;
    /// The device the port last opened on, in words; a lost port reopens only on that device.
    QString KnownDevice() const;
    /// What a reconnect found under the port name instead of the known device; empty when
    /// nothing was refused since the port last opened.
    QString RefusedDevice() const;
    /// Serial devices present on this machine, for the user to choose from.
    QStringList AvailablePorts() const;

    // Received data; each OnRxClusterEvent stands for one appended cluster.

    /// Byte count of the oldest waiting cluster, -1 when none waits.
    int32_t NextClusterSize();
    /// Removes the oldest cluster and returns its bytes; empty when none waits.
    QByteArray ReadNextCluster();

    // Transmit. One write is outstanding at a time; the bytes are copied, so the caller's buffer
    // may go at once. A write that completes at once raises OnWriteDone before returning.

    void SendData(const void *buffer, uint32_t count);
    /// Sends the bytes as they are (no line end added); an empty string sends nothing.
    void SendString(const QByteArray &text);

    // Events, all optional, all raised in the main thread.

    TNotifyEvent OnRxClusterEvent;
    TNotifyEvent OnRxCharEvent;
    TNotifyEvent OnRxEventCharEvent;
    TNotifyEvent OnTxQueueEmptyEvent;
    TNotifyEvent OnBreakEvent;
    TNotifyEvent OnCTSEvent;
    TNotifyEvent OnDSREvent;
    TNotifyEvent OnLineErrorEvent;
    TNotifyEvent OnRingEvent;
    TNotifyEvent OnRLSDEvent;
    TNotifyEvent OnCommEvent;
    TNotifyEvent OnCommStat;
    TNotifyEvent OnWriteDone;
    TNotifyErrorEvent OnProcessError;
    /// The device went away: the port has been closed and reported (place 9920).
    TNotifyEvent OnDeviceLost;
    /// The port has reopened by itself (AutoReconnect) on a device that is back.
    TNotifyEvent OnReconnected;
    /// Another device came under the port name while the port waited for its lost one: the
    /// port stays closed and keeps waiting (reported once per device, place 9921).
    TNotifyEvent OnReconnectRefused;

  private:
    // What the worker sees of the port.
    TickSource &ticks() const override;
    int32_t platformId() const override;
    std::shared_ptr<CommDevice> device() const override;
    bool active() const override;
    bool destroying() const override;
    Opening lastOpening() const override;
    ReceiveRule receiveRule() const override;
    bool readRequested() const override;
    void clearReadRequest() override;
    PendingWrite pendingWrite() const override;
    void finishWrite(uint32_t written) override;
    bool reconnectDue(uint32_t now) override;
    uint32_t untilReconnectCheck(uint32_t now, uint32_t limit) const override;
    void setThreadRunning(bool running) override;
    bool storeLineStatus(const LineStatus &status) override;
    uint32_t modemState() const override;
    void storeModemState(uint32_t status) override;
    void storeModemLine(PortEvent event, bool on) override;
    void storeCommEvent(uint32_t mask) override;
    bool handles(PortEvent event) const override;
    void synchronize(const std::function<void()> &routine) override;
    bool serveSynchronized() override;
    void raise(PortEvent event) override;
    void report(uint32_t place, uint32_t code, const char *msg) override;
    void addCluster(std::unique_ptr<TSerialCluster> cluster) override;
    void deviceLost(uint32_t code) override;
    void lookForDevice() override;

    const TNotifyEvent &eventSlot(PortEvent event) const;
    void reportError(uint32_t place, uint32_t code, const QString &msg, uint8_t level);
    void applyActive(bool value);
    void closePort(bool deviceThere = true);
    void openPort();
    void refuseDevice(const QString &found);
    void applyCommState();
    void takeDeviceSettings();
    void enableCommEvents();
    void autoCharDelayTimes();
    void waitThreadIdle(int count);
    void setupQueues(uint32_t place);
    void resetWriteEvent(CommDevice &port);
    void setLine(std::atomic<bool> &state, bool value, const std::function<uint32_t(CommDevice &)> &call,
                 uint32_t place, const char *msg);
    void setLimitPercent(uint8_t &field, uint8_t value, const char *warning);
    template <typename T, typename V> void setLineSetting(T &field, V value);

    SerialBackend m_backend;
    const int32_t m_platformId;
    std::unique_ptr<SyncQueue> m_sync;

    // Configuration: written by the main thread only; those the worker reads are atomic.
    QString m_commPort = QStringLiteral("COM2");
    uint32_t m_baudRate = 9600;
    uint8_t m_parityType = 0;
    char m_parityErrorChar = 0;
    bool m_parityErrorReplacement = false;
    uint8_t m_stopBits = 0;
    uint8_t m_dataBits = 8;
    char m_xonChar = 17;
    char m_xoffChar = 19;
    uint8_t m_xonLimDiv = 33;
    uint8_t m_xoffLimDiv = 33;
    int32_t m_flowControl = 0;
    bool m_stripNullChars = false;
    char m_eventChar = 0;
    std::atomic<uint32_t> m_rtoCharDelayTime{1100};
    std::atomic<uint16_t> m_rtoExtraDelayTime{250};
    std::atomic<uint16_t> m_clusterSize{3072};
    uint16_t m_rxQueueSize = 4096;
    uint16_t m_txQueueSize = 4096;
    std::atomic<uint32_t> m_wtoCharDelayTime{1100};
    std::atomic<uint16_t> m_wtoExtraDelayTime{250};
    bool m_xtoAuto = true;
    std::atomic<bool> m_rtsState{true};
    std::atomic<bool> m_dtrState{true};
    std::atomic<bool> m_breakState{false};
    std::atomic<uint8_t> m_errorNoise{255};
    std::atomic<bool> m_readRequest{false};
    std::atomic<bool> m_active{false};
    bool m_autoReconnect = false;
    bool m_lost = false;
    QString m_openFailure;
    QString m_knownDevice;
    QString m_refusedDevice;
    ReconnectWatcher m_watcher;
    // When the port last opened, for the worker's quiet-line rule; the count tells it that a new
    // opening has happened, whenever it looks.
    std::atomic<uint32_t> m_openTick{0};
    std::atomic<uint32_t> m_openCount{0};

    // Status, shared with the worker.
    mutable std::mutex m_deviceMutex;
    std::shared_ptr<CommDevice> m_device;
    std::atomic<bool> m_ctsState{false};
    std::atomic<bool> m_dsrState{false};
    std::atomic<bool> m_rlsdState{false};
    std::atomic<bool> m_ringState{false};
    std::atomic<bool> m_sendInProgress{false};
    std::atomic<uint32_t> m_writtenBytes{0};
    std::atomic<uint32_t> m_writeRequested{0};
    std::atomic<uint32_t> m_sendStartTick{0};
    std::atomic<uint32_t> m_commError{0};
    std::atomic<uint8_t> m_commStateFlags{0};
    std::atomic<uint32_t> m_commStateInQueue{0};
    std::atomic<uint32_t> m_commStateOutQueue{0};
    std::atomic<uint32_t> m_modemState{0};
    std::atomic<uint32_t> m_commEvent{0};
    std::atomic<bool> m_threadIsRunning{false};
    std::atomic<bool> m_destroying{false};

    std::deque<std::unique_ptr<TSerialCluster>> m_clusterList;
    std::unique_ptr<TWorkThread> m_worker;
};
