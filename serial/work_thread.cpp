#include "serial/work_thread.h"

#include "serial/platform/comm_device.h"
#include "serial/serial_cluster.h"
#include "serial/serial_port.h"
#include "serial/sync_queue.h"
#include "serial/tick_source.h"

#include <utility>

using namespace comm;

namespace {

constexpr uint32_t ActiveWaitMs = 75;
constexpr uint32_t IdleSleepMs = 200;
constexpr uint32_t FinishPollMs = 5;
constexpr uint32_t ForcingLineErrors = CeRxOver | CeOverrun | CeRxParity | CeFrame | CeBreak;

} // namespace

TWorkThread::TWorkThread(TSerialPort &port) : m_port(port)
{
    m_port.m_backend.ticks->attach();
    m_thread = std::thread([this] { Execute(); });
}

TWorkThread::~TWorkThread()
{
    Terminate();
    // The worker may be waiting inside a synchronized call; serve it until the loop has ended.
    while (!m_finished)
        if (!m_port.m_sync->drain())
            m_port.m_backend.ticks->sleep(FinishPollMs);
    m_thread.join();
}

void TWorkThread::Terminate()
{
    m_terminated = true;
}

void TWorkThread::Execute()
{
    m_device = m_port.device();
    m_runFlag = m_port.m_active;
    do
        Pass();
    while (!m_terminated || m_runFlag);
    m_port.m_threadIsRunning = false;
    m_device.reset();
    m_port.m_backend.ticks->detach();
    m_finished = true;
}

void TWorkThread::Pass()
{
    if (m_runFlag) {
        ActivePass();
        return;
    }
    m_port.m_threadIsRunning = false;
    m_runFlag = m_port.m_active;
    TickSource &ticks = *m_port.m_backend.ticks;
    // A port closed against the user's will looks for its device, once a second at most.
    if (!m_runFlag && m_port.m_watcher.due(ticks.now())) {
        Synchronize([this] { m_port.LookForDevice(); });
        m_runFlag = m_port.m_active;
    }
    if (!m_runFlag)
        ticks.sleep(m_port.m_watcher.untilDue(ticks.now(), IdleSleepMs));
}

void TWorkThread::ActivePass()
{
    m_port.m_threadIsRunning = true;
    if (auto current = m_port.device(); current != m_device) {
        // Operations outstanding on a device that has been closed meanwhile can never complete.
        m_readPending = m_waitPending = false;
        m_device = std::move(current);
    }
    if (const uint32_t opened = m_port.m_openCount; opened != m_openCount) {
        // The queue of a port just opened counts as seen empty at the moment it opened, however
        // late this thread gets to look, so its first reply is cut by the quiet-line rule.
        m_openCount = opened;
        m_lastReadTick = m_port.m_openTick;
    }
    m_commWaitFailed = false;
    if (m_port.m_active && !PollLineStatus())
        return;
    CheckWriteDone();
    if (!m_readPending && m_port.m_active)
        ReadIfDue();
    if (!m_waitPending && m_port.m_active)
        StartCommWait();
    WaitForCompletions();
    if (!m_port.m_active)
        WindDown();
}

void TWorkThread::WaitForCompletions()
{
    const uint32_t ops = (m_readPending ? opBit(Op::Read) : 0) | (m_waitPending ? opBit(Op::Status) : 0);
    if (ops == 0) {
        // A device that refuses the event wait (unplugged) must not turn the loop into a spin.
        if (m_commWaitFailed)
            m_port.m_backend.ticks->sleep(ActiveWaitMs);
        return;
    }
    Op signalled = Op::Read;
    const uint32_t result = m_device->waitEvents(ops, ActiveWaitMs, signalled);
    if (m_port.m_active && !PollLineStatus())
        return;
    if (result == NoError) {
        if (signalled == Op::Read)
            ReadDone();
        else
            CommWaitDone();
    } else if (result != WaitTimeout) {
        const uint32_t place = m_readPending ? (m_waitPending ? 9911 : 9912) : 9913;
        Report(place, result, "Error getting Overlappedresult");
        m_readPending = m_waitPending = false;
    }
}

void TWorkThread::WindDown()
{
    if (m_readPending)
        SignalEvent(Op::Read);
    if (m_waitPending) {
        m_device->setCommMask(0);
        SignalEvent(Op::Status);
    }
    if (!m_readPending && !m_waitPending && !m_port.m_sendInProgress)
        m_runFlag = false;
}

// ---- Line status ----------------------------------------------------------------------------

bool TWorkThread::PollLineStatus()
{
    if (!PollModemStatus())
        return false;
    uint32_t errors = 0;
    ComStat stat;
    if (uint32_t error = m_device->clearCommError(errors, stat)) {
        if (error == ErrorDeviceNotConnected)
            return LoseDevice(error);
        Report(9803, error, "Error ClearCommError");
        return true;
    }
    // Kept until the next read: the poll after a wait would otherwise take errors away from the
    // pass whose cluster rule they are meant to force, and from the cluster they belong to.
    m_lineErrors |= errors;
    m_comStat = stat;
    const auto flags = static_cast<uint8_t>(stat.flags & 0xFF);
    if (errors == m_port.m_commError && flags == m_port.m_commStateFlags && stat.inQueue == m_port.m_commStateInQueue &&
        stat.outQueue == m_port.m_commStateOutQueue)
        return true;
    m_port.m_commError = errors;
    m_port.m_commStateFlags = flags;
    m_port.m_commStateInQueue = stat.inQueue;
    m_port.m_commStateOutQueue = stat.outQueue;
    Raise(&TSerialPort::OnCommStat);
    return true;
}

bool TWorkThread::PollModemStatus()
{
    if (uint32_t error = m_device->getModemStatus(m_modemStatus)) {
        if (error == ErrorDeviceNotConnected)
            return LoseDevice(error);
        Report(9905, error, "Error getting ModemStatus");
        return true;
    }
    // That platform family's driver reports no ring event, so a changed ring line stands in.
    if (m_port.m_platformId == 1 && ((m_modemStatus ^ m_port.m_modemState) & MsRingOn)) {
        m_port.m_modemState = m_modemStatus;
        m_eventMask = EvRing;
        DispatchCommEvents();
    }
    m_port.m_modemState = m_modemStatus;
    m_port.m_ctsState = (m_modemStatus & MsCtsOn) != 0;
    m_port.m_dsrState = (m_modemStatus & MsDsrOn) != 0;
    m_port.m_rlsdState = (m_modemStatus & MsRlsdOn) != 0;
    return true;
}

bool TWorkThread::LoseDevice(uint32_t code)
{
    // The main thread closes the port while this thread waits; the next pass winds down.
    Synchronize([this, code] { m_port.DeviceLost(code); });
    return false;
}

// ---- Reception ------------------------------------------------------------------------------

void TWorkThread::ReadIfDue()
{
    const uint32_t count = m_comStat.inQueue;
    TickSource &ticks = *m_port.m_backend.ticks;
    if (count == 0) {
        m_lastReadTick = ticks.now();
        return;
    }
    if (!m_port.m_readRequest && !ClusterDue(count, ticks.now()))
        return;
    m_readBuffer.resize(count);
    uint32_t got = 0;
    const uint32_t error = m_device->read(m_readBuffer.data(), count, got);
    if (error == NoError) {
        m_port.m_readRequest = false;
        HandOverCluster(m_readBuffer.left(got));
        m_readBuffer.clear();
        m_lastReadTick = ticks.now();
    } else if (error == ErrorIoPending) {
        m_readPending = true;
    } else {
        m_port.m_readRequest = false;
        m_readBuffer.clear();
        Report(9804, error, "Error reading Data");
    }
}

bool TWorkThread::ClusterDue(uint32_t count, uint32_t now) const
{
    if (count >= m_port.m_clusterSize || (m_lineErrors & ForcingLineErrors))
        return true;
    const uint32_t product = count * m_port.m_rtoCharDelayTime;
    const double allowance = product / 1000.0 + m_port.m_rtoExtraDelayTime;
    return static_cast<uint32_t>(now - m_lastReadTick) > allowance;
}

void TWorkThread::ReadDone()
{
    uint32_t got = 0;
    const uint32_t error = m_device->overlappedResult(Op::Read, got);
    if (error == NoError) {
        HandOverCluster(m_readBuffer.left(got));
        m_lastReadTick = m_port.m_backend.ticks->now();
    } else if (error == ErrorOperationAborted) {
        Report(9907, error, "Error read aborted");
    } else {
        Report(9908, error, "Error getting Overlappedresult");
    }
    m_readBuffer.clear();
    m_readPending = false;
}

void TWorkThread::HandOverCluster(const QByteArray &bytes)
{
    const uint32_t lineErrors = std::exchange(m_lineErrors, 0);
    if (m_port.m_destroying)
        return;
    auto cluster = std::make_unique<TSerialCluster>(bytes, lineErrors);
    Synchronize([&] {
        if (!m_port.m_destroying)
            m_port.AddCluster(std::move(cluster));
    });
}

// ---- Comm events ----------------------------------------------------------------------------

void TWorkThread::StartCommWait()
{
    const uint32_t error = m_device->waitCommEvent(m_eventMask);
    if (error == NoError) {
        DispatchCommEvents();
    } else if (error == ErrorIoPending) {
        m_waitPending = true;
    } else {
        m_commWaitFailed = true;
        Report(9907, error, "Error calling WaitCommEvent");
    }
}

void TWorkThread::CommWaitDone()
{
    if (m_port.m_active)
        DispatchCommEvents();
    m_waitPending = false;
}

void TWorkThread::DispatchCommEvents()
{
    if (m_port.m_destroying)
        return;
    const uint32_t mask = m_eventMask;
    m_port.m_commEvent = mask;
    if (mask & EvBreak)
        Raise(&TSerialPort::OnBreakEvent);
    if (mask & EvCts) {
        m_port.m_ctsState = (m_modemStatus & MsCtsOn) != 0;
        Raise(&TSerialPort::OnCTSEvent);
    }
    if (mask & EvDsr) {
        m_port.m_dsrState = (m_modemStatus & MsDsrOn) != 0;
        Raise(&TSerialPort::OnDSREvent);
    }
    if (mask & EvErr)
        Raise(&TSerialPort::OnLineErrorEvent);
    if (mask & EvRing) {
        m_port.m_ringState = (m_modemStatus & MsRingOn) != 0;
        Raise(&TSerialPort::OnRingEvent);
    }
    if (mask & EvRlsd) {
        m_port.m_rlsdState = (m_modemStatus & MsRlsdOn) != 0;
        Raise(&TSerialPort::OnRLSDEvent);
    }
    if (mask & EvRxChar)
        Raise(&TSerialPort::OnRxCharEvent);
    if (mask & EvRxFlag)
        Raise(&TSerialPort::OnRxEventCharEvent);
    if (mask & EvTxEmpty)
        Raise(&TSerialPort::OnTxQueueEmptyEvent);
    if (mask != 0)
        Raise(&TSerialPort::OnCommEvent);
}

// ---- Write completion -------------------------------------------------------------------

void TWorkThread::CheckWriteDone()
{
    if (!m_port.m_sendInProgress)
        return;
    uint32_t transferred = 0;
    const uint32_t error = m_device->overlappedResult(Op::Write, transferred);
    if (error == NoError) {
        m_port.m_writtenBytes = transferred;
        m_port.m_sendInProgress = false;
        if (transferred != m_port.m_writeRequested)
            Report(9701, ErrorTimeout, "Error write TimeOut");
        Raise(&TSerialPort::OnWriteDone);
    } else if (error == ErrorIoPending) {
        const uint32_t product = transferred * m_port.m_wtoCharDelayTime;
        const double limit = product / 1000.0 + m_port.m_wtoExtraDelayTime;
        if (static_cast<uint32_t>(m_port.m_backend.ticks->now() - m_port.m_sendStartTick) > limit)
            AbandonWrite(transferred, 9701, error, "Error write TimeOut");
    } else if (error != ErrorIoIncomplete) {
        AbandonWrite(m_port.m_writtenBytes, 9702, error, "Error getting Overlapped Result");
    }
}

void TWorkThread::AbandonWrite(uint32_t written, uint32_t place, uint32_t code, const char *msg)
{
    m_port.m_writtenBytes = written;
    m_port.m_sendInProgress = false;
    ResetEvent(Op::Write);
    Report(place, code, msg);
    Raise(&TSerialPort::OnWriteDone);
}

// ---- Hand-over to the main thread -------------------------------------------------------

void TWorkThread::SignalEvent(Op op)
{
    if (uint32_t error = m_device->signalEvent(op))
        Report(1101, error, "Error signalling Overlapped Event");
}

void TWorkThread::ResetEvent(Op op)
{
    if (uint32_t error = m_device->resetEvent(op))
        Report(1101, error, "Error resetting Overlapped Event");
}

void TWorkThread::Raise(TSerialPort::TNotifyEvent TSerialPort::*event)
{
    if (!(m_port.*event))
        return;
    // Looked at again in the main thread: the owner may have let go of it meanwhile.
    Synchronize([&] {
        if (!m_port.m_destroying && m_port.*event)
            (m_port.*event)(&m_port);
    });
}

void TWorkThread::Report(uint32_t place, uint32_t code, const char *msg)
{
    Synchronize([&] { m_port.ReportError(place, code, QString::fromLatin1(msg), 0); });
}

void TWorkThread::Synchronize(const std::function<void()> &routine)
{
    m_port.m_sync->call(routine);
}
