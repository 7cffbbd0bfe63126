#include "serial/serial_port.h"

#include "serial/platform/closed_comm_device.h"
#include "serial/platform/comm_device.h"
#include "serial/platform/system_comm_driver.h"
#include "serial/serial_cluster.h"
#include "serial/sync_queue.h"
#include "serial/system_tick_source.h"
#include "serial/work_thread.h"

#include <array>
#include <utility>

using namespace comm;

namespace {

constexpr uint32_t WaitStepMs = 75;
constexpr int CloseWaitCount = 15;
constexpr int DestroyWaitCount = 10;
constexpr int MaxPortNameLength = 255;
constexpr int MaxDevicePathLength = 79;
constexpr uint8_t WarningLevel = 1;
constexpr uint8_t MessageLevel = 2;

struct SpeedRow
{
    uint32_t speed;
    uint32_t charTimeUs;
};

constexpr std::array<SpeedRow, 15> SpeedTable{{{110, 100000},
                                               {300, 37000},
                                               {600, 18000},
                                               {1200, 9000},
                                               {2400, 4500},
                                               {4800, 2300},
                                               {9600, 1100},
                                               {14400, 760},
                                               {19200, 570},
                                               {38400, 290},
                                               {56000, 200},
                                               {57600, 190},
                                               {115200, 95},
                                               {128000, 85},
                                               {256000, 43}}};

uint32_t charDelayTime(uint32_t baudRate)
{
    uint32_t value = 1100;
    for (const SpeedRow &row : SpeedTable)
        if (row.speed <= baudRate)
            value = row.charTimeUs;
    return value;
}

} // namespace

SerialBackend SerialBackend::system()
{
    auto ticks = SystemTickSource::instance();
    return {systemCommDriver(ticks), ticks};
}

TSerialPort::TSerialPort(QObject *owner) : TSerialPort(owner, SerialBackend::system()) {}

TSerialPort::TSerialPort(QObject *owner, SerialBackend backend)
    : QObject(owner), m_backend(std::move(backend)), m_platformId(m_backend.driver->platformId()),
      m_sync(std::make_unique<SyncQueue>(*m_backend.ticks)), m_device(std::make_shared<ClosedCommDevice>())
{
    m_worker = std::make_unique<TWorkThread>(static_cast<WorkerPort &>(*this));
}

TSerialPort::~TSerialPort()
{
    m_destroying = true;
    applyActive(false);
    m_worker->terminate();
    waitThreadIdle(DestroyWaitCount);
    m_clusterList.clear();
    m_worker.reset();
}

// ---- What the worker sees -------------------------------------------------------------------

TickSource &TSerialPort::ticks() const
{
    return *m_backend.ticks;
}
int32_t TSerialPort::platformId() const
{
    return m_platformId;
}
bool TSerialPort::active() const
{
    return m_active;
}
bool TSerialPort::destroying() const
{
    return m_destroying;
}
WorkerPort::Opening TSerialPort::lastOpening() const
{
    return {m_openCount, m_openTick};
}
WorkerPort::ReceiveRule TSerialPort::receiveRule() const
{
    return {m_clusterSize, m_rtoCharDelayTime, m_rtoExtraDelayTime};
}
bool TSerialPort::readRequested() const
{
    return m_readRequest;
}
void TSerialPort::clearReadRequest()
{
    m_readRequest = false;
}

WorkerPort::PendingWrite TSerialPort::pendingWrite() const
{
    // The flag first: the main thread sets it last, after the start tick.
    const bool inProgress = m_sendInProgress;
    return {inProgress, m_writeRequested, m_sendStartTick, m_writtenBytes, m_wtoCharDelayTime, m_wtoExtraDelayTime};
}
void TSerialPort::finishWrite(uint32_t written)
{
    m_writtenBytes = written;
    m_sendInProgress = false;
}

bool TSerialPort::reconnectDue(uint32_t now)
{
    return m_watcher.due(now);
}
uint32_t TSerialPort::untilReconnectCheck(uint32_t now, uint32_t limit) const
{
    return m_watcher.untilDue(now, limit);
}
void TSerialPort::setThreadRunning(bool running)
{
    m_threadIsRunning = running;
}

bool TSerialPort::storeLineStatus(const LineStatus &status)
{
    if (status == LineStatus{m_commError, m_commStateFlags, m_commStateInQueue, m_commStateOutQueue})
        return false;
    m_commError = status.errors;
    m_commStateFlags = status.flags;
    m_commStateInQueue = status.inQueue;
    m_commStateOutQueue = status.outQueue;
    return true;
}
uint32_t TSerialPort::modemState() const
{
    return m_modemState;
}
void TSerialPort::storeModemState(uint32_t status)
{
    m_modemState = status;
}
void TSerialPort::storeModemLine(PortEvent event, bool on)
{
    switch (event) {
    case PortEvent::CTS:
        m_ctsState = on;
        break;
    case PortEvent::DSR:
        m_dsrState = on;
        break;
    case PortEvent::Ring:
        m_ringState = on;
        break;
    case PortEvent::RLSD:
        m_rlsdState = on;
        break;
    default:
        break;
    }
}
void TSerialPort::storeCommEvent(uint32_t mask)
{
    m_commEvent = mask;
}

const TSerialPort::TNotifyEvent &TSerialPort::eventSlot(PortEvent event) const
{
    // In the order of PortEvent.
    static constexpr TNotifyEvent TSerialPort::*handlers[] = {
        &TSerialPort::OnRxClusterEvent, &TSerialPort::OnRxCharEvent, &TSerialPort::OnRxEventCharEvent,
        &TSerialPort::OnTxQueueEmptyEvent, &TSerialPort::OnBreakEvent, &TSerialPort::OnCTSEvent,
        &TSerialPort::OnDSREvent, &TSerialPort::OnLineErrorEvent, &TSerialPort::OnRingEvent,
        &TSerialPort::OnRLSDEvent, &TSerialPort::OnCommEvent, &TSerialPort::OnCommStat,
        &TSerialPort::OnWriteDone};
    return this->*handlers[static_cast<int>(event)];
}
bool TSerialPort::handles(PortEvent event) const
{
    return static_cast<bool>(eventSlot(event));
}

void TSerialPort::synchronize(const std::function<void()> &routine)
{
    m_sync->call(routine);
}
bool TSerialPort::serveSynchronized()
{
    return m_sync->drain();
}

// Main thread, in a synchronized call of the worker.
void TSerialPort::raise(PortEvent event)
{
    // Looked at again here: the owner may have let go of the handler meanwhile.
    if (const TNotifyEvent &slot = eventSlot(event); !m_destroying && slot)
        slot(this);
}
void TSerialPort::report(uint32_t place, uint32_t code, const char *msg)
{
    reportError(place, code, QString::fromLatin1(msg), 0);
}

// ---- Report gate --------------------------------------------------------------------------

void TSerialPort::reportError(uint32_t place, uint32_t code, const QString &msg, uint8_t level)
{
    if (m_destroying || level > m_errorNoise || !OnProcessError)
        return;
    OnProcessError(parent(), place, code, msg);
}

// ---- Opening and closing ------------------------------------------------------------------

std::shared_ptr<CommDevice> TSerialPort::device() const
{
    std::lock_guard lock(m_deviceMutex);
    return m_device;
}

void TSerialPort::applyActive(bool value)
{
    if (m_active)
        closePort();
    // Opened on purpose, the port takes whatever device is there and knows it from then on.
    m_knownDevice.clear();
    if (value)
        openPort();
}

void TSerialPort::closePort(bool deviceThere)
{
    const auto port = device();
    // A device that is gone fails every call; its loss has been reported once already.
    const auto report = [this, deviceThere](int place, uint32_t error, const QString &text) {
        if (error && deviceThere)
            reportError(place, error, text, 0);
    };
    reportError(100, 0, QStringLiteral("Msg start deactivating Port"), MessageLevel);
    report(101, port->setCommMask(0), QStringLiteral("Error disabling CommEvents"));
    m_active = false;
    report(102, port->purge(PurgeTxAbort | PurgeRxAbort | PurgeTxClear | PurgeRxClear),
           QStringLiteral("Error clearing Queues"));
    // The worker waits in the synchronized call that reports a lost device, so it cannot go idle.
    if (deviceThere) {
        waitThreadIdle(CloseWaitCount);
        if (m_threadIsRunning)
            reportError(104, 0, QStringLiteral("Warning ThreadIsRunning"), WarningLevel);
    }
    report(602, port->escape(Escape::ClrDtr), QStringLiteral("Error clearing DTR"));
    m_dtrState = false;
    report(502, port->escape(Escape::ClrRts), QStringLiteral("Error clearing RTS"));
    m_rtsState = false;
    report(103, port->close(), QStringLiteral("Error closing Port"));
    std::lock_guard lock(m_deviceMutex);
    m_device = std::make_shared<ClosedCommDevice>();
}

void TSerialPort::openPort()
{
    reportError(110, 0, QStringLiteral("Msg start reactivating Port"), MessageLevel);
    uint32_t error = NoError;
    auto opened = m_backend.driver->open(m_commPort.left(MaxDevicePathLength), error);
    if (!opened) {
        m_openFailure = m_backend.driver->openFailure(m_commPort.left(MaxDevicePathLength), error);
        reportError(112, error, QStringLiteral("Error reopening Port"), 0);
        if (m_autoReconnect && error == ErrorFileNotFound)
            m_watcher.watch();
        return;
    }
    {
        std::lock_guard lock(m_deviceMutex);
        m_device = opened;
    }
    m_openTick = m_backend.ticks->now();
    ++m_openCount;
    m_active = true;
    m_lost = false;
    m_watcher.stop();
    m_knownDevice = m_backend.driver->deviceIdentity(m_commPort);
    m_openFailure.clear();
    m_refusedDevice.clear();
    if (uint32_t failure = opened->setupComm(m_rxQueueSize, m_txQueueSize))
        reportError(111, failure, QStringLiteral("Error setup Queuesize"), 0);
    applyCommState();
    SetDTRState(true);
    SetRTSState(true);
    enableCommEvents();
}

// Runs in a synchronized call of the worker.
void TSerialPort::deviceLost(uint32_t code)
{
    if (!m_active || m_destroying)
        return;
    reportError(9920, code, QStringLiteral("Error device lost, port closed"), 0);
    closePort(false);
    m_lost = true;
    if (m_autoReconnect)
        m_watcher.watch();
    if (OnDeviceLost)
        OnDeviceLost(this);
}

// Runs in a synchronized call of the idle worker, at most once a second while watching.
void TSerialPort::lookForDevice()
{
    if (m_active || m_destroying || !m_watcher.watching() || !m_backend.driver->deviceExists(m_commPort))
        return;
    // Another device under the same name (a link left behind by its device, a node number
    // given to the next adapter) is never opened: it would get our settings and keys.
    const QString found = m_backend.driver->deviceIdentity(m_commPort);
    if (found.isEmpty())
        return;
    if (!m_knownDevice.isEmpty() && found != m_knownDevice) {
        refuseDevice(found);
        return;
    }
    openPort();
    if (m_active && OnReconnected)
        OnReconnected(this);
}

void TSerialPort::refuseDevice(const QString &found)
{
    if (found == m_refusedDevice)
        return;
    m_refusedDevice = found;
    reportError(9921, 0, QStringLiteral("Warning another device at the port, not reconnected"), WarningLevel);
    if (OnReconnectRefused)
        OnReconnectRefused(this);
}

void TSerialPort::applyCommState()
{
    const auto port = device();
    Dcb dcb;
    if (uint32_t error = port->getCommState(dcb)) {
        reportError(801, error, QStringLiteral("Error getting DCB from CommState"), 0);
        return;
    }
    dcb.baudRate = m_baudRate;
    // Rebuilt, not merged: only what the properties ask for is set.
    dcb.flags = FBinary;
    if (m_parityType != NoParity)
        dcb.flags |= FParity;
    if (m_parityErrorReplacement)
        dcb.flags |= FErrorChar;
    dcb.flags |= static_cast<uint32_t>(m_flowControl);
    if (m_stripNullChars)
        dcb.flags |= FNull;
    dcb.parity = m_parityType;
    dcb.errorChar = m_parityErrorChar;
    dcb.evtChar = m_eventChar;
    dcb.stopBits = m_stopBits;
    dcb.byteSize = m_dataBits;
    dcb.xonChar = m_xonChar;
    dcb.xoffChar = m_xoffChar;
    dcb.xonLim = static_cast<uint16_t>(uint32_t{m_rxQueueSize} * m_xonLimDiv / 100);
    dcb.xoffLim = static_cast<uint16_t>(uint32_t{m_rxQueueSize} * m_xoffLimDiv / 100);
    dcb.eofChar = 0;

    CommTimeouts timeouts;
    port->getCommTimeouts(timeouts);
    timeouts = CommTimeouts{0xFFFFFFFF, 0, 0, 0, 0};
    if (uint32_t error = port->setCommTimeouts(timeouts))
        reportError(802, error, QStringLiteral("Error setting CommTimeout"), 0);
    if (uint32_t error = port->setCommState(dcb)) {
        reportError(802, error, QStringLiteral("Error setting CommState, 87 indicate that Parms are incorrect"), 0);
        takeDeviceSettings();
    }
}

// After a refusal the properties hold what the device really has again, so the refused value is
// not rebuilt into every later line setting.
void TSerialPort::takeDeviceSettings()
{
    Dcb dcb;
    if (device()->getCommState(dcb) != NoError)
        return;
    if (m_xtoAuto && dcb.baudRate != m_baudRate) {
        m_rtoCharDelayTime = charDelayTime(dcb.baudRate);
        m_wtoCharDelayTime = charDelayTime(dcb.baudRate);
    }
    m_baudRate = dcb.baudRate;
    m_parityType = dcb.parity;
    m_stopBits = dcb.stopBits;
    m_dataBits = dcb.byteSize;
    m_parityErrorReplacement = (dcb.flags & FErrorChar) != 0;
    m_stripNullChars = (dcb.flags & FNull) != 0;
    m_flowControl = static_cast<int32_t>(dcb.flags & ~(FBinary | FParity | FErrorChar | FNull));
    m_parityErrorChar = dcb.errorChar;
    m_eventChar = dcb.evtChar;
    m_xonChar = dcb.xonChar;
    m_xoffChar = dcb.xoffChar;
}

void TSerialPort::enableCommEvents()
{
    if (uint32_t error = device()->setCommMask(EvAll))
        reportError(201, error, QStringLiteral("Error activating CommEventMask"), 0);
}

void TSerialPort::autoCharDelayTimes()
{
    const uint32_t value = charDelayTime(m_baudRate);
    m_rtoCharDelayTime = value;
    SetWTOCharDelayTime(value);
}

void TSerialPort::waitThreadIdle(int count)
{
    // Deliberately serves no synchronized calls: a worker waiting in one cannot go idle, and
    // the bounded count is what ends the wait then.
    while (count > 0 && m_threadIsRunning) {
        m_backend.ticks->sleep(WaitStepMs);
        --count;
    }
}

// ---- Configuration --------------------------------------------------------------------------

template <typename T, typename V> void TSerialPort::setLineSetting(T &field, V value)
{
    if (field == value)
        return;
    field = value;
    if (m_active)
        applyCommState();
}

QString TSerialPort::CommPort() const
{
    return m_commPort;
}
void TSerialPort::SetCommPort(const QString &value)
{
    const QString name = value.left(MaxPortNameLength);
    if (name == m_commPort)
        return;
    m_commPort = name;
    applyActive(m_active);
}

uint32_t TSerialPort::BaudRate() const
{
    return m_baudRate;
}
void TSerialPort::SetBaudRate(uint32_t value)
{
    if (value == m_baudRate)
        return;
    m_baudRate = value;
    if (m_xtoAuto)
        autoCharDelayTimes();
    if (m_active)
        applyCommState();
}

uint8_t TSerialPort::ParityType() const
{
    return m_parityType;
}
void TSerialPort::SetParityType(uint8_t value)
{
    setLineSetting(m_parityType, value);
}
char TSerialPort::ParityErrorChar() const
{
    return m_parityErrorChar;
}
void TSerialPort::SetParityErrorChar(char value)
{
    setLineSetting(m_parityErrorChar, value);
}
bool TSerialPort::ParityErrorReplacement() const
{
    return m_parityErrorReplacement;
}
void TSerialPort::SetParityErrorReplacement(bool value)
{
    setLineSetting(m_parityErrorReplacement, value);
}
uint8_t TSerialPort::StopBits() const
{
    return m_stopBits;
}
void TSerialPort::SetStopBits(uint8_t value)
{
    setLineSetting(m_stopBits, value);
}
uint8_t TSerialPort::DataBits() const
{
    return m_dataBits;
}
void TSerialPort::SetDataBits(uint8_t value)
{
    setLineSetting(m_dataBits, value);
}
char TSerialPort::XONChar() const
{
    return m_xonChar;
}
void TSerialPort::SetXONChar(char value)
{
    setLineSetting(m_xonChar, value);
}
char TSerialPort::XOFFChar() const
{
    return m_xoffChar;
}
void TSerialPort::SetXOFFChar(char value)
{
    setLineSetting(m_xoffChar, value);
}
int32_t TSerialPort::FlowControl() const
{
    return m_flowControl;
}
void TSerialPort::SetFlowControl(int32_t value)
{
    setLineSetting(m_flowControl, value);
}
bool TSerialPort::StripNullChars() const
{
    return m_stripNullChars;
}
void TSerialPort::SetStripNullChars(bool value)
{
    setLineSetting(m_stripNullChars, value);
}
char TSerialPort::EventChar() const
{
    return m_eventChar;
}
void TSerialPort::SetEventChar(char value)
{
    setLineSetting(m_eventChar, value);
}
uint32_t TSerialPort::WTOCharDelayTime() const
{
    return m_wtoCharDelayTime;
}
void TSerialPort::SetWTOCharDelayTime(uint32_t value)
{
    setLineSetting(m_wtoCharDelayTime, value);
}
uint16_t TSerialPort::WTOExtraDelayTime() const
{
    return m_wtoExtraDelayTime;
}
void TSerialPort::SetWTOExtraDelayTime(uint16_t value)
{
    setLineSetting(m_wtoExtraDelayTime, value);
}

uint8_t TSerialPort::XONLimDiv() const
{
    return m_xonLimDiv;
}
void TSerialPort::SetXONLimDiv(uint8_t value)
{
    setLimitPercent(m_xonLimDiv, value, "Warning XOnLimDef set to 100");
}
uint8_t TSerialPort::XOFFLimDiv() const
{
    return m_xoffLimDiv;
}
void TSerialPort::SetXOFFLimDiv(uint8_t value)
{
    setLimitPercent(m_xoffLimDiv, value, "Warning XOffLimDef set to 100");
}

void TSerialPort::setLimitPercent(uint8_t &field, uint8_t value, const char *warning)
{
    if (value == field)
        return;
    if (value > 100) {
        reportError(100, value, QString::fromLatin1(warning), WarningLevel);
        value = 100;
    }
    field = value;
    if (m_active)
        applyCommState();
}

uint32_t TSerialPort::RTOCharDelayTime() const
{
    return m_rtoCharDelayTime;
}
void TSerialPort::SetRTOCharDelayTime(uint32_t value)
{
    m_rtoCharDelayTime = value;
}
uint16_t TSerialPort::RTOExtraDelayTime() const
{
    return m_rtoExtraDelayTime;
}
void TSerialPort::SetRTOExtraDelayTime(uint16_t value)
{
    m_rtoExtraDelayTime = value;
}
uint16_t TSerialPort::ClusterSize() const
{
    return m_clusterSize;
}
void TSerialPort::SetClusterSize(uint16_t value)
{
    m_clusterSize = value;
}
uint8_t TSerialPort::ErrorNoise() const
{
    return m_errorNoise;
}
void TSerialPort::SetErrorNoise(uint8_t value)
{
    m_errorNoise = value;
}
bool TSerialPort::ReadRequest() const
{
    return m_readRequest;
}
void TSerialPort::SetReadRequest(bool value)
{
    m_readRequest = value;
}

uint16_t TSerialPort::RxQueueSize() const
{
    return m_rxQueueSize;
}
void TSerialPort::SetRxQueueSize(uint16_t value)
{
    if (value == m_rxQueueSize)
        return;
    m_rxQueueSize = value;
    setupQueues(101);
}

uint16_t TSerialPort::TxQueueSize() const
{
    return m_txQueueSize;
}
void TSerialPort::SetTxQueueSize(uint16_t value)
{
    if (value == m_txQueueSize)
        return;
    m_txQueueSize = value;
    setupQueues(102);
}

void TSerialPort::setupQueues(uint32_t place)
{
    if (uint32_t error = device()->setupComm(m_rxQueueSize, m_txQueueSize))
        reportError(place, error, QStringLiteral("Error can not set Quesize"), 0);
}

bool TSerialPort::XTOAuto() const
{
    return m_xtoAuto;
}
void TSerialPort::SetXTOAuto(bool value)
{
    const bool switchedOn = value && !m_xtoAuto;
    m_xtoAuto = value;
    if (switchedOn)
        autoCharDelayTimes();
}

bool TSerialPort::Active() const
{
    return m_active;
}
void TSerialPort::SetActive(bool value)
{
    if (!value) {
        m_watcher.stop();
        m_lost = false;
        m_refusedDevice.clear();
    }
    if (value != m_active)
        applyActive(value);
}

bool TSerialPort::AutoReconnect() const
{
    return m_autoReconnect;
}
void TSerialPort::SetAutoReconnect(bool value)
{
    m_autoReconnect = value;
    if (!value)
        m_watcher.stop();
}

bool TSerialPort::Lost() const
{
    return m_lost;
}

QString TSerialPort::OpenFailure() const
{
    return m_openFailure;
}

QString TSerialPort::KnownDevice() const
{
    return m_knownDevice;
}

QString TSerialPort::RefusedDevice() const
{
    return m_refusedDevice;
}

QStringList TSerialPort::AvailablePorts() const
{
    return m_backend.driver->availablePorts();
}

// ---- Modem output lines -----------------------------------------------------------------

bool TSerialPort::RTSState() const
{
    return m_rtsState;
}
void TSerialPort::SetRTSState(bool value)
{
    setLine(
        m_rtsState, value, [value](CommDevice &port) { return port.escape(value ? Escape::SetRts : Escape::ClrRts); },
        value ? 501 : 502, value ? "Error setting RTS" : "Error clearing RTS");
}

bool TSerialPort::DTRState() const
{
    return m_dtrState;
}
void TSerialPort::SetDTRState(bool value)
{
    setLine(
        m_dtrState, value, [value](CommDevice &port) { return port.escape(value ? Escape::SetDtr : Escape::ClrDtr); },
        value ? 601 : 602, value ? "Error setting DTR" : "Error clearing DTR");
}

bool TSerialPort::BREAKState() const
{
    return m_breakState;
}
void TSerialPort::SetBREAKState(bool value)
{
    setLine(
        m_breakState, value, [value](CommDevice &port) { return value ? port.setBreak() : port.clearBreak(); },
        value ? 701 : 702, value ? "Error setting BREAK State" : "Error clearing BREAK State");
}

void TSerialPort::setLine(std::atomic<bool> &state, bool value, const std::function<uint32_t(CommDevice &)> &call,
                          uint32_t place, const char *msg)
{
    // A closed port has no lines: the value is neither sent nor recorded.
    if (!m_active)
        return;
    if (uint32_t error = call(*device()))
        reportError(place, error, QString::fromLatin1(msg), 0);
    state = value;
}

// ---- Status -------------------------------------------------------------------------------

uint32_t TSerialPort::ComHandle() const
{
    return device()->handle();
}
uint32_t TSerialPort::OpenCount() const
{
    return m_openCount;
}
bool TSerialPort::CTSState() const
{
    return m_ctsState;
}
bool TSerialPort::DSRState() const
{
    return m_dsrState;
}
bool TSerialPort::RLSDState() const
{
    return m_rlsdState;
}
bool TSerialPort::RingState() const
{
    return m_ringState;
}
bool TSerialPort::SendInProgress() const
{
    return m_sendInProgress;
}
uint32_t TSerialPort::WrittenBytes() const
{
    return m_writtenBytes;
}
uint32_t TSerialPort::CommError() const
{
    return m_commError;
}
TComStateFlags TSerialPort::CommStateFlags() const
{
    return m_commStateFlags;
}
uint32_t TSerialPort::CommStateInQueue() const
{
    return m_commStateInQueue;
}
uint32_t TSerialPort::CommStateOutQueue() const
{
    return m_commStateOutQueue;
}
uint32_t TSerialPort::ModemState() const
{
    return m_modemState;
}
uint32_t TSerialPort::CommEvent() const
{
    return m_commEvent;
}

// ---- Received clusters ----------------------------------------------------------------------

void TSerialPort::addCluster(std::unique_ptr<TSerialCluster> cluster)
{
    m_clusterList.push_back(std::move(cluster));
    if (OnRxClusterEvent)
        OnRxClusterEvent(this);
}

int32_t TSerialPort::NextClusterSize()
{
    return m_clusterList.empty() ? -1 : m_clusterList.front()->ByteCount;
}

QByteArray TSerialPort::ReadNextCluster()
{
    if (m_clusterList.empty())
        return {};
    const QByteArray bytes = m_clusterList.front()->Bytes;
    m_clusterList.pop_front();
    return bytes;
}

// ---- Transmit -------------------------------------------------------------------------------

void TSerialPort::SendString(const QByteArray &text)
{
    if (!text.isEmpty())
        SendData(text.constData(), static_cast<uint32_t>(text.size()));
}

void TSerialPort::SendData(const void *buffer, uint32_t count)
{
    if (m_sendInProgress) {
        reportError(901, 0, QStringLiteral("Msg, dont enter SendData while SendInProgress is set"), MessageLevel);
        return;
    }
    const auto port = device();
    CommTimeouts timeouts;
    port->getCommTimeouts(timeouts);
    timeouts = CommTimeouts{0xFFFFFFFF, 0, 0, 0, count * m_wtoCharDelayTime / 1000 + m_wtoExtraDelayTime};
    if (uint32_t error = port->setCommTimeouts(timeouts))
        reportError(902, error, QStringLiteral("Error setting CommTimeout"), 0);
    m_writeRequested = count;
    uint32_t written = 0;
    const uint32_t error = port->write(static_cast<const char *>(buffer), count, written);
    if (error == NoError) {
        m_writtenBytes = written;
        if (OnWriteDone)
            OnWriteDone(this);
    } else if (error == ErrorIoPending) {
        m_sendStartTick = m_backend.ticks->now();
        m_sendInProgress = true;
    } else {
        reportError(903, error, QStringLiteral("Error writing Data"), 0);
        resetWriteEvent(*port);
        m_sendInProgress = false;
    }
}

void TSerialPort::resetWriteEvent(CommDevice &port)
{
    if (uint32_t error = port.resetEvent(Op::Write))
        reportError(1101, error, QStringLiteral("Error resetting Overlapped Event"), 0);
}
