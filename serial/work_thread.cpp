#include "serial/work_thread.h"

#include "serial/platform/comm_device.h"
#include "serial/serial_cluster.h"
#include "serial/tick_source.h"

#include <utility>

using namespace comm;

namespace {

constexpr uint32_t ActiveWaitMs = 75;
constexpr uint32_t IdleSleepMs = 200;
constexpr uint32_t FinishPollMs = 5;
// The longest a received byte waits for its cluster. The quiet-line rule alone holds a steady
// printout back for many seconds when the per-byte allowance is near the character time.
constexpr uint32_t MaxByteWaitMs = 250;
constexpr uint32_t ForcingLineErrors = CeRxOver | CeOverrun | CeRxParity | CeFrame | CeBreak;

} // namespace

TWorkThread::TWorkThread(WorkerPort &port) : m_port(port)
{
    m_port.ticks().attach();
    m_thread = std::thread([this] { execute(); });
}

TWorkThread::~TWorkThread()
{
    terminate();
    // The worker may be waiting inside a synchronized call; serve it until the loop has ended.
    while (!m_finished)
        if (!m_port.serveSynchronized())
            m_port.ticks().sleep(FinishPollMs);
    m_thread.join();
}

void TWorkThread::terminate()
{
    m_terminated = true;
}

void TWorkThread::execute()
{
    m_device = m_port.device();
    m_runFlag = m_port.active();
    do
        pass();
    while (!m_terminated || m_runFlag);
    m_port.setThreadRunning(false);
    m_device.reset();
    m_port.ticks().detach();
    m_finished = true;
}

void TWorkThread::pass()
{
    if (m_runFlag) {
        activePass();
        return;
    }
    m_port.setThreadRunning(false);
    m_runFlag = m_port.active();
    TickSource &ticks = m_port.ticks();
    // A port closed against the user's will looks for its device, once a second at most.
    if (!m_runFlag && m_port.reconnectDue(ticks.now())) {
        m_port.synchronize([this] { m_port.lookForDevice(); });
        m_runFlag = m_port.active();
    }
    if (!m_runFlag)
        ticks.sleep(m_port.untilReconnectCheck(ticks.now(), IdleSleepMs));
}

void TWorkThread::activePass()
{
    m_port.setThreadRunning(true);
    if (auto current = m_port.device(); current != m_device) {
        // Operations outstanding on a device that has been closed meanwhile can never complete.
        m_readPending = m_waitPending = false;
        m_device = std::move(current);
    }
    if (const WorkerPort::Opening opened = m_port.lastOpening(); opened.count != m_openCount) {
        // The queue of a port just opened counts as seen empty at the moment it opened, however
        // late this thread gets to look, so its first reply is cut by the quiet-line rule.
        m_openCount = opened.count;
        m_lastReadTick = opened.tick;
        m_oldestByteTick.reset();
    }
    m_commWaitFailed = false;
    if (m_port.active() && !pollLineStatus())
        return;
    checkWriteDone();
    if (!m_readPending && m_port.active())
        readIfDue();
    if (!m_waitPending && m_port.active())
        startCommWait();
    waitForCompletions();
    if (!m_port.active())
        windDown();
}

void TWorkThread::waitForCompletions()
{
    const uint32_t ops = (m_readPending ? opBit(Op::Read) : 0) | (m_waitPending ? opBit(Op::Status) : 0);
    if (ops == 0) {
        // A device that refuses the event wait (unplugged) must not turn the loop into a spin.
        if (m_commWaitFailed)
            m_port.ticks().sleep(ActiveWaitMs);
        return;
    }
    Op signalled = Op::Read;
    const uint32_t result = m_device->waitEvents(ops, ActiveWaitMs, signalled);
    if (m_port.active() && !pollLineStatus())
        return;
    if (result == NoError) {
        if (signalled == Op::Read)
            readDone();
        else
            commWaitDone();
    } else if (result != WaitTimeout) {
        const uint32_t place = m_readPending ? (m_waitPending ? 9911 : 9912) : 9913;
        report(place, result, "Error getting Overlappedresult");
        m_readPending = m_waitPending = false;
    }
}

void TWorkThread::windDown()
{
    if (m_readPending)
        signalEvent(Op::Read);
    if (m_waitPending) {
        m_device->setCommMask(0);
        signalEvent(Op::Status);
    }
    if (!m_readPending && !m_waitPending && !m_port.pendingWrite().inProgress)
        m_runFlag = false;
}

// ---- Line status ----------------------------------------------------------------------------

bool TWorkThread::pollLineStatus()
{
    if (!pollModemStatus())
        return false;
    uint32_t errors = 0;
    ComStat stat;
    if (uint32_t error = m_device->clearCommError(errors, stat)) {
        if (error == ErrorDeviceNotConnected)
            return loseDevice(error);
        report(9803, error, "Error ClearCommError");
        return true;
    }
    // Kept until the next read: the poll after a wait would otherwise take errors away from the
    // pass whose cluster rule they are meant to force, and from the cluster they belong to.
    m_lineErrors |= errors;
    m_comStat = stat;
    const auto flags = static_cast<uint8_t>(stat.flags & 0xFF);
    if (m_port.storeLineStatus({errors, flags, stat.inQueue, stat.outQueue}))
        raise(PortEvent::CommStat);
    return true;
}

bool TWorkThread::pollModemStatus()
{
    if (uint32_t error = m_device->getModemStatus(m_modemStatus)) {
        if (error == ErrorDeviceNotConnected)
            return loseDevice(error);
        report(9905, error, "Error getting ModemStatus");
        return true;
    }
    // That platform family's driver reports no ring event, so a changed ring line stands in.
    if (m_port.platformId() == 1 && ((m_modemStatus ^ m_port.modemState()) & MsRingOn)) {
        m_port.storeModemState(m_modemStatus);
        m_eventMask = EvRing;
        dispatchCommEvents();
    }
    m_port.storeModemState(m_modemStatus);
    m_port.storeModemLine(PortEvent::CTS, (m_modemStatus & MsCtsOn) != 0);
    m_port.storeModemLine(PortEvent::DSR, (m_modemStatus & MsDsrOn) != 0);
    m_port.storeModemLine(PortEvent::RLSD, (m_modemStatus & MsRlsdOn) != 0);
    return true;
}

bool TWorkThread::loseDevice(uint32_t code)
{
    // The main thread closes the port while this thread waits; the next pass winds down.
    m_port.synchronize([this, code] { m_port.deviceLost(code); });
    return false;
}

// ---- Reception ------------------------------------------------------------------------------

void TWorkThread::readIfDue()
{
    const uint32_t count = m_comStat.inQueue;
    TickSource &ticks = m_port.ticks();
    const uint32_t now = ticks.now();
    if (count == 0) {
        m_lastReadTick = now;
        return;
    }
    if (!m_oldestByteTick)
        m_oldestByteTick = now;
    if (!m_port.readRequested() && !clusterDue(count, now))
        return;
    m_readBuffer.resize(count);
    uint32_t got = 0;
    const uint32_t error = m_device->read(m_readBuffer.data(), count, got);
    if (error == NoError) {
        m_port.clearReadRequest();
        handOverCluster(m_readBuffer.left(got));
        m_readBuffer.clear();
        m_lastReadTick = ticks.now();
    } else if (error == ErrorIoPending) {
        m_readPending = true;
    } else {
        m_port.clearReadRequest();
        m_readBuffer.clear();
        report(9804, error, "Error reading Data");
    }
}

bool TWorkThread::clusterDue(uint32_t count, uint32_t now) const
{
    const WorkerPort::ReceiveRule rule = m_port.receiveRule();
    if (count >= rule.clusterSize || (m_lineErrors & ForcingLineErrors))
        return true;
    if (m_oldestByteTick && now - *m_oldestByteTick >= MaxByteWaitMs)
        return true;
    const uint32_t product = count * rule.charDelayUs;
    const double allowance = product / 1000.0 + rule.extraDelayMs;
    return static_cast<uint32_t>(now - m_lastReadTick) > allowance;
}

void TWorkThread::readDone()
{
    uint32_t got = 0;
    const uint32_t error = m_device->overlappedResult(Op::Read, got);
    if (error == NoError) {
        handOverCluster(m_readBuffer.left(got));
        m_lastReadTick = m_port.ticks().now();
    } else if (error == ErrorOperationAborted) {
        report(9907, error, "Error read aborted");
    } else {
        report(9908, error, "Error getting Overlappedresult");
    }
    m_readBuffer.clear();
    m_readPending = false;
}

void TWorkThread::handOverCluster(const QByteArray &bytes)
{
    const uint32_t lineErrors = std::exchange(m_lineErrors, 0);
    m_oldestByteTick.reset();
    if (m_port.destroying())
        return;
    auto cluster = std::make_unique<TSerialCluster>(bytes, lineErrors);
    m_port.synchronize([&] {
        if (!m_port.destroying())
            m_port.addCluster(std::move(cluster));
    });
}

// ---- Comm events ----------------------------------------------------------------------------

void TWorkThread::startCommWait()
{
    const uint32_t error = m_device->waitCommEvent(m_eventMask);
    if (error == NoError) {
        dispatchCommEvents();
    } else if (error == ErrorIoPending) {
        m_waitPending = true;
    } else {
        m_commWaitFailed = true;
        report(9907, error, "Error calling WaitCommEvent");
    }
}

void TWorkThread::commWaitDone()
{
    if (m_port.active())
        dispatchCommEvents();
    m_waitPending = false;
}

void TWorkThread::dispatchCommEvents()
{
    if (m_port.destroying())
        return;
    const uint32_t mask = m_eventMask;
    m_port.storeCommEvent(mask);
    // In this order; a modem line's state is stored just before its own event.
    struct Dispatch
    {
        uint32_t bit;
        PortEvent event;
        uint32_t line;
    };
    static constexpr Dispatch order[] = {
        {EvBreak, PortEvent::Break, 0},         {EvCts, PortEvent::CTS, MsCtsOn},
        {EvDsr, PortEvent::DSR, MsDsrOn},       {EvErr, PortEvent::LineError, 0},
        {EvRing, PortEvent::Ring, MsRingOn},    {EvRlsd, PortEvent::RLSD, MsRlsdOn},
        {EvRxChar, PortEvent::RxChar, 0},       {EvRxFlag, PortEvent::RxEventChar, 0},
        {EvTxEmpty, PortEvent::TxQueueEmpty, 0}};
    for (const Dispatch &entry : order) {
        if (!(mask & entry.bit))
            continue;
        if (entry.line)
            m_port.storeModemLine(entry.event, (m_modemStatus & entry.line) != 0);
        raise(entry.event);
    }
    if (mask != 0)
        raise(PortEvent::Comm);
}

// ---- Write completion -------------------------------------------------------------------

void TWorkThread::checkWriteDone()
{
    const WorkerPort::PendingWrite write = m_port.pendingWrite();
    if (!write.inProgress)
        return;
    uint32_t transferred = 0;
    const uint32_t error = m_device->overlappedResult(Op::Write, transferred);
    if (error == NoError) {
        m_port.finishWrite(transferred);
        if (transferred != write.requested)
            report(9701, ErrorTimeout, "Error write TimeOut");
        raise(PortEvent::WriteDone);
    } else if (error == ErrorIoPending) {
        const uint32_t product = transferred * write.charDelayUs;
        const double limit = product / 1000.0 + write.extraDelayMs;
        if (static_cast<uint32_t>(m_port.ticks().now() - write.startTick) > limit)
            abandonWrite(transferred, 9701, error, "Error write TimeOut");
    } else if (error != ErrorIoIncomplete) {
        abandonWrite(write.written, 9702, error, "Error getting Overlapped Result");
    }
}

void TWorkThread::abandonWrite(uint32_t written, uint32_t place, uint32_t code, const char *msg)
{
    m_port.finishWrite(written);
    resetEvent(Op::Write);
    report(place, code, msg);
    raise(PortEvent::WriteDone);
}

// ---- Hand-over to the main thread -------------------------------------------------------

void TWorkThread::signalEvent(Op op)
{
    if (uint32_t error = m_device->signalEvent(op))
        report(1101, error, "Error signalling Overlapped Event");
}

void TWorkThread::resetEvent(Op op)
{
    if (uint32_t error = m_device->resetEvent(op))
        report(1101, error, "Error resetting Overlapped Event");
}

void TWorkThread::raise(PortEvent event)
{
    if (!m_port.handles(event))
        return;
    m_port.synchronize([&] { m_port.raise(event); });
}

void TWorkThread::report(uint32_t place, uint32_t code, const char *msg)
{
    m_port.synchronize([&] { m_port.report(place, code, msg); });
}
