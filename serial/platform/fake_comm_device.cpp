#include "serial/platform/fake_comm_device.h"

#include "serial/manual_clock.h"

#include <algorithm>
#include <limits>

using namespace comm;

FakeCommDevice::FakeCommDevice(ManualClock &clock) : m_clock(clock) {}

// ---- Script -------------------------------------------------------------------------------

void FakeCommDevice::receive(const QByteArray &bytes, uint32_t delayMs, uint32_t perByteUs)
{
    const uint64_t start = m_clock.elapsed() + delayMs;
    {
        std::lock_guard lock(m_mutex);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            m_schedule.emplace(start + uint64_t(i) * perByteUs / 1000, bytes[i]);
    }
    m_clock.notify();
}

void FakeCommDevice::setModemStatus(uint32_t status)
{
    {
        std::lock_guard lock(m_mutex);
        const uint32_t changed = status ^ m_modemStatus;
        m_modemStatus = status;
        m_state.record(((changed & MsCtsOn) ? EvCts : 0) | ((changed & MsDsrOn) ? EvDsr : 0) |
                       ((changed & MsRlsdOn) ? EvRlsd : 0) | ((changed & status & MsRingOn) ? EvRing : 0));
    }
    m_clock.notify();
}

void FakeCommDevice::raiseLineErrors(uint32_t errors)
{
    {
        std::lock_guard lock(m_mutex);
        m_lineErrors |= errors;
        m_state.record(((errors & CeBreak) ? EvBreak : 0) | ((errors & ~CeBreak) ? EvErr : 0));
    }
    m_clock.notify();
}

void FakeCommDevice::setOutQueue(uint32_t count)
{
    std::lock_guard lock(m_mutex);
    m_outQueue = count;
}

void FakeCommDevice::raiseEvents(uint32_t events)
{
    {
        std::lock_guard lock(m_mutex);
        m_state.record(events);
    }
    m_clock.notify();
}

void FakeCommDevice::fail(FakeCall call, uint32_t code, int times)
{
    std::lock_guard lock(m_mutex);
    m_failures[call] = {code, code == NoError ? 0 : times};
}

void FakeCommDevice::refuseSettings(std::function<bool(const Dcb &)> rule)
{
    std::lock_guard lock(m_mutex);
    m_refused = std::move(rule);
}

void FakeCommDevice::holdReads(bool hold)
{
    std::lock_guard lock(m_mutex);
    m_holdReads = hold;
}

void FakeCommDevice::holdWrites(bool hold)
{
    std::lock_guard lock(m_mutex);
    m_holdWrites = hold;
}

void FakeCommDevice::finishWrite(uint32_t transferred)
{
    std::lock_guard lock(m_mutex);
    m_writeTransferred = std::min<uint32_t>(transferred, static_cast<uint32_t>(m_writeBytes.size()));
    m_written += m_writeBytes.left(m_writeTransferred);
    m_writeResult = NoError;
    m_state.signal(Op::Write);
}

void FakeCommDevice::finishRead(const QByteArray &bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_readBytes = bytes.left(m_readCount);
        m_readResult = NoError;
        m_state.signal(Op::Read);
    }
    m_clock.notify();
}

void FakeCommDevice::reopen()
{
    std::lock_guard lock(m_mutex);
    m_closed = false;
    m_state = OverlappedState();
}

// ---- Inspection -------------------------------------------------------------------------

QByteArray FakeCommDevice::written() const
{
    std::lock_guard lock(m_mutex);
    return m_written;
}

Dcb FakeCommDevice::dcb() const
{
    std::lock_guard lock(m_mutex);
    return m_dcb;
}

CommTimeouts FakeCommDevice::timeouts() const
{
    std::lock_guard lock(m_mutex);
    return m_timeouts;
}

uint32_t FakeCommDevice::mask() const
{
    std::lock_guard lock(m_mutex);
    return m_state.mask();
}

QList<Escape> FakeCommDevice::escapes() const
{
    std::lock_guard lock(m_mutex);
    return m_escapes;
}

bool FakeCommDevice::breakOn() const
{
    std::lock_guard lock(m_mutex);
    return m_break;
}

uint32_t FakeCommDevice::rxQueueSize() const
{
    std::lock_guard lock(m_mutex);
    return m_rxQueueSize;
}

uint32_t FakeCommDevice::txQueueSize() const
{
    std::lock_guard lock(m_mutex);
    return m_txQueueSize;
}

QList<uint32_t> FakeCommDevice::purges() const
{
    std::lock_guard lock(m_mutex);
    return m_purges;
}

int FakeCommDevice::calls(FakeCall call) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_calls.find(call);
    return found == m_calls.end() ? 0 : found->second;
}

bool FakeCommDevice::closed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

// ---- Device -------------------------------------------------------------------------------

FakeCommDevice::Lock FakeCommDevice::enter(FakeCall call, uint32_t &error)
{
    // The clock's lock comes first (its waits test our state under it), so read it before ours.
    const uint64_t now = m_clock.elapsed();
    Lock lock(m_mutex);
    ++m_calls[call];
    arrive(now);
    error = NoError;
    auto &[code, times] = m_failures[call];
    if (times != 0) {
        error = code;
        times -= times > 0 ? 1 : 0;
    } else if (m_closed && call != FakeCall::SignalEvent && call != FakeCall::ResetEvent) {
        error = ErrorInvalidHandle;
    }
    return lock;
}

void FakeCommDevice::arrive(uint64_t now)
{
    auto end = m_schedule.upper_bound(now);
    for (auto it = m_schedule.begin(); it != end; ++it) {
        if (it->second == 0 && (m_dcb.flags & FNull))
            continue;
        m_input.append(it->second);
        m_state.record(it->second == m_dcb.evtChar ? EvRxChar | EvRxFlag : EvRxChar);
    }
    m_schedule.erase(m_schedule.begin(), end);
}

uint64_t FakeCommDevice::nextArrival() const
{
    return m_schedule.empty() ? std::numeric_limits<uint64_t>::max() : m_schedule.begin()->first;
}

uint32_t FakeCommDevice::handle() const
{
    std::lock_guard lock(m_mutex);
    return m_closed ? InvalidHandle : 7;
}

uint32_t FakeCommDevice::setupComm(uint32_t rxQueueSize, uint32_t txQueueSize)
{
    uint32_t error;
    Lock lock = enter(FakeCall::SetupComm, error);
    if (!error) {
        m_rxQueueSize = rxQueueSize;
        m_txQueueSize = txQueueSize;
    }
    return error;
}

uint32_t FakeCommDevice::getCommState(Dcb &dcb)
{
    uint32_t error;
    Lock lock = enter(FakeCall::GetCommState, error);
    if (!error)
        dcb = m_dcb;
    return error;
}

uint32_t FakeCommDevice::setCommState(const Dcb &dcb)
{
    uint32_t error;
    Lock lock = enter(FakeCall::SetCommState, error);
    if (!error && m_refused && m_refused(dcb))
        error = ErrorInvalidParameter;
    if (!error)
        m_dcb = dcb;
    return error;
}

uint32_t FakeCommDevice::getCommTimeouts(CommTimeouts &timeouts)
{
    uint32_t error;
    Lock lock = enter(FakeCall::GetCommTimeouts, error);
    if (!error)
        timeouts = m_timeouts;
    return error;
}

uint32_t FakeCommDevice::setCommTimeouts(const CommTimeouts &timeouts)
{
    uint32_t error;
    Lock lock = enter(FakeCall::SetCommTimeouts, error);
    if (!error)
        m_timeouts = timeouts;
    return error;
}

uint32_t FakeCommDevice::setCommMask(uint32_t mask)
{
    uint32_t error;
    {
        Lock lock = enter(FakeCall::SetCommMask, error);
        if (!error)
            m_state.setMask(mask);
    }
    m_clock.notify();
    return error;
}

uint32_t FakeCommDevice::waitCommEvent(uint32_t &mask)
{
    uint32_t error;
    Lock lock = enter(FakeCall::WaitCommEvent, error);
    return error ? error : m_state.startWait(mask);
}

uint32_t FakeCommDevice::read(char *buffer, uint32_t count, uint32_t &got)
{
    uint32_t error;
    Lock lock = enter(FakeCall::Read, error);
    if (error)
        return error;
    m_state.reset(Op::Read);
    if (m_holdReads) {
        m_readPending = true;
        m_readResult = ErrorIoIncomplete;
        m_readBuffer = buffer;
        m_readCount = count;
        return ErrorIoPending;
    }
    got = std::min<uint32_t>(count, static_cast<uint32_t>(m_input.size()));
    std::copy_n(m_input.constData(), got, buffer);
    m_input.remove(0, got);
    return NoError;
}

uint32_t FakeCommDevice::write(const char *buffer, uint32_t count, uint32_t &written)
{
    uint32_t error;
    Lock lock = enter(FakeCall::Write, error);
    if (error)
        return error;
    m_state.reset(Op::Write);
    if (m_holdWrites) {
        m_writePending = true;
        m_writeResult = ErrorIoIncomplete;
        m_writeBytes = QByteArray(buffer, count);
        m_writeTransferred = 0;
        return ErrorIoPending;
    }
    m_written.append(buffer, count);
    written = count;
    return NoError;
}

uint32_t FakeCommDevice::overlappedResult(Op op, uint32_t &transferred)
{
    uint32_t error;
    Lock lock = enter(FakeCall::OverlappedResult, error);
    if (op == Op::Write) {
        transferred = m_writeTransferred;
        if (!error && m_writePending && m_writeResult != ErrorIoIncomplete)
            m_writePending = false;
        return error ? error : m_writeResult;
    }
    if (error)
        return error;
    if (m_readResult == NoError && m_readPending) {
        std::copy_n(m_readBytes.constData(), m_readBytes.size(), m_readBuffer);
        m_readPending = false;
    }
    transferred = static_cast<uint32_t>(m_readBytes.size());
    return m_readResult;
}

uint32_t FakeCommDevice::clearCommError(uint32_t &errors, ComStat &stat)
{
    uint32_t error;
    Lock lock = enter(FakeCall::ClearCommError, error);
    if (error)
        return error;
    errors = m_lineErrors;
    m_lineErrors = 0;
    stat = ComStat{0, static_cast<uint32_t>(m_input.size()), m_outQueue};
    return NoError;
}

uint32_t FakeCommDevice::getModemStatus(uint32_t &status)
{
    uint32_t error;
    Lock lock = enter(FakeCall::GetModemStatus, error);
    if (!error)
        status = m_modemStatus;
    return error;
}

uint32_t FakeCommDevice::escape(Escape function)
{
    uint32_t error;
    Lock lock = enter(FakeCall::Escape, error);
    m_escapes.append(function);
    return error;
}

uint32_t FakeCommDevice::setBreak()
{
    uint32_t error;
    Lock lock = enter(FakeCall::SetBreak, error);
    if (!error)
        m_break = true;
    return error;
}

uint32_t FakeCommDevice::clearBreak()
{
    uint32_t error;
    Lock lock = enter(FakeCall::ClearBreak, error);
    if (!error)
        m_break = false;
    return error;
}

uint32_t FakeCommDevice::purge(uint32_t flags)
{
    uint32_t error;
    {
        Lock lock = enter(FakeCall::Purge, error);
        m_purges.append(flags);
        if (error)
            return error;
        if ((flags & PurgeRxAbort) && m_readPending && m_readResult == ErrorIoIncomplete) {
            m_readResult = ErrorOperationAborted;
            m_state.signal(Op::Read);
        }
        if ((flags & PurgeTxAbort) && m_writePending && m_writeResult == ErrorIoIncomplete) {
            m_writeResult = ErrorOperationAborted;
            m_state.signal(Op::Write);
        }
        if (flags & PurgeRxClear) {
            m_input.clear();
            m_schedule.clear();
        }
    }
    m_clock.notify();
    return NoError;
}

uint32_t FakeCommDevice::waitEvents(uint32_t ops, uint32_t timeoutMs, Op &signalled)
{
    const uint64_t deadline = m_clock.elapsed() + timeoutMs;
    for (;;) {
        uint64_t wakeAt = deadline;
        {
            uint32_t error;
            Lock lock = enter(FakeCall::WaitEvents, error);
            if (m_closed)
                return WaitFailed;
            if (error)
                return error;
            if (m_state.take(ops, signalled))
                return NoError;
            wakeAt = std::min(deadline, nextArrival());
        }
        if (m_clock.elapsed() >= deadline)
            return WaitTimeout;
        m_clock.waitUntil(wakeAt, [&] {
            std::lock_guard lock(m_mutex);
            return m_closed || m_state.isSignalled(ops) || nextArrival() < wakeAt;
        });
    }
}

uint32_t FakeCommDevice::signalEvent(Op op)
{
    uint32_t error;
    {
        Lock lock = enter(FakeCall::SignalEvent, error);
        if (!error)
            m_state.signal(op);
    }
    m_clock.notify();
    return error;
}

uint32_t FakeCommDevice::resetEvent(Op op)
{
    uint32_t error;
    Lock lock = enter(FakeCall::ResetEvent, error);
    if (!error)
        m_state.reset(op);
    return error;
}

uint32_t FakeCommDevice::close()
{
    uint32_t error;
    {
        Lock lock = enter(FakeCall::Close, error);
        m_closed = true;
    }
    m_clock.notify();
    return error;
}
