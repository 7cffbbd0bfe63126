#include "serial/platform/win_comm_device.h"

#include <bit>

using namespace comm;

namespace {

// Read before Status, as the worker takes them; Write last.
constexpr Op WaitOrder[] = {Op::Read, Op::Status, Op::Write};

constexpr int DtrShift = std::countr_zero(FDtrControlMask);
constexpr int RtsShift = std::countr_zero(FRtsControlMask);

uint32_t result(BOOL done)
{
    return done ? NoError : GetLastError();
}

// What an unplugged USB adapter answers to the status request; the worker gives the port up on
// ErrorDeviceNotConnected only, and would otherwise report the same error on every pass.
bool deviceGone(uint32_t error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_BAD_COMMAND || error == ERROR_GEN_FAILURE ||
           error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEVICE_REMOVED;
}

// A port without modem lines (a virtual one, or a pseudo-terminal under Wine) refuses the line
// requests so; like the POSIX device it then has no lines, rather than an error on every poll.
bool lacksLines(uint32_t error)
{
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

uint32_t bitIf(bool on, uint32_t bit)
{
    return on ? bit : 0;
}

Dcb fromWin(const DCB &win)
{
    Dcb dcb;
    dcb.baudRate = win.BaudRate;
    dcb.flags = bitIf(win.fBinary, FBinary) | bitIf(win.fParity, FParity) | bitIf(win.fOutxCtsFlow, FOutxCtsFlow) |
                bitIf(win.fOutxDsrFlow, FOutxDsrFlow) | (win.fDtrControl << DtrShift) |
                bitIf(win.fDsrSensitivity, FDsrSensitivity) | bitIf(win.fTXContinueOnXoff, FTxContinueOnXoff) |
                bitIf(win.fOutX, FOutX) | bitIf(win.fInX, FInX) | bitIf(win.fErrorChar, FErrorChar) |
                bitIf(win.fNull, FNull) | (win.fRtsControl << RtsShift) | bitIf(win.fAbortOnError, FAbortOnError);
    dcb.xonLim = win.XonLim;
    dcb.xoffLim = win.XoffLim;
    dcb.byteSize = win.ByteSize;
    dcb.parity = win.Parity;
    dcb.stopBits = win.StopBits;
    dcb.xonChar = win.XonChar;
    dcb.xoffChar = win.XoffChar;
    dcb.errorChar = win.ErrorChar;
    dcb.eofChar = win.EofChar;
    dcb.evtChar = win.EvtChar;
    return dcb;
}

DCB toWin(const Dcb &dcb)
{
    DCB win{};
    win.DCBlength = sizeof win;
    win.BaudRate = dcb.baudRate;
    win.fBinary = (dcb.flags & FBinary) != 0;
    win.fParity = (dcb.flags & FParity) != 0;
    win.fOutxCtsFlow = (dcb.flags & FOutxCtsFlow) != 0;
    win.fOutxDsrFlow = (dcb.flags & FOutxDsrFlow) != 0;
    win.fDtrControl = (dcb.flags & FDtrControlMask) >> DtrShift;
    win.fDsrSensitivity = (dcb.flags & FDsrSensitivity) != 0;
    win.fTXContinueOnXoff = (dcb.flags & FTxContinueOnXoff) != 0;
    win.fOutX = (dcb.flags & FOutX) != 0;
    win.fInX = (dcb.flags & FInX) != 0;
    win.fErrorChar = (dcb.flags & FErrorChar) != 0;
    win.fNull = (dcb.flags & FNull) != 0;
    win.fRtsControl = (dcb.flags & FRtsControlMask) >> RtsShift;
    win.fAbortOnError = (dcb.flags & FAbortOnError) != 0;
    win.XonLim = dcb.xonLim;
    win.XoffLim = dcb.xoffLim;
    win.ByteSize = dcb.byteSize;
    win.Parity = dcb.parity;
    win.StopBits = dcb.stopBits;
    win.XonChar = dcb.xonChar;
    win.XoffChar = dcb.xoffChar;
    win.ErrorChar = dcb.errorChar;
    win.EofChar = dcb.eofChar;
    win.EvtChar = dcb.evtChar;
    return win;
}

// The hold states in the order of COMSTAT's bits: fCtsHold, fDsrHold, fRlsdHold, fXoffHold,
// fXoffSent, fEof, fTxim.
uint32_t holdFlags(const COMSTAT &stat)
{
    return bitIf(stat.fCtsHold, 0x01) | bitIf(stat.fDsrHold, 0x02) | bitIf(stat.fRlsdHold, 0x04) |
           bitIf(stat.fXoffHold, 0x08) | bitIf(stat.fXoffSent, 0x10) | bitIf(stat.fEof, 0x20) | bitIf(stat.fTxim, 0x40);
}

} // namespace

std::shared_ptr<WinCommDevice> WinCommDevice::take(HANDLE handle, uint32_t &error)
{
    HANDLE events[3] = {};
    for (HANDLE &event : events) {
        event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (event)
            continue;
        error = GetLastError();
        for (HANDLE made : events)
            if (made)
                CloseHandle(made);
        CloseHandle(handle);
        return nullptr;
    }
    error = NoError;
    return std::make_shared<WinCommDevice>(handle, events);
}

WinCommDevice::WinCommDevice(HANDLE handle, const HANDLE (&events)[3]) : m_handle(handle)
{
    for (int index = 0; index < 3; ++index)
        m_overlapped[index].hEvent = events[index];
}

WinCommDevice::~WinCommDevice()
{
    if (!m_closed)
        CloseHandle(m_handle);
    // Closing cancels what is pending, but the system still writes the outcome into the OVERLAPPED
    // blocks and buffers; they must stay until it has. Windows itself waits like this at exit.
    for (Op op : WaitOrder)
        while (inFlight(op))
            Sleep(1);
    for (OVERLAPPED &pending : m_overlapped)
        CloseHandle(pending.hEvent);
}

template <typename Call> uint32_t WinCommDevice::whileOpen(Call call)
{
    std::lock_guard lock(m_mutex);
    return m_closed ? ErrorInvalidHandle : call();
}

bool WinCommDevice::inFlight(Op op)
{
    if (started(op) && HasOverlappedIoCompleted(&overlapped(op)))
        started(op) = false;
    return started(op);
}

uint32_t WinCommDevice::start(Op op, BOOL done)
{
    if (done)
        return NoError;
    const uint32_t error = GetLastError();
    started(op) = error == ERROR_IO_PENDING;
    return error;
}

uint32_t WinCommDevice::completion(Op op, uint32_t &transferred)
{
    DWORD count = 0;
    const uint32_t error = result(GetOverlappedResult(m_handle, &overlapped(op), &count, FALSE));
    transferred = count;
    return error;
}

uint32_t WinCommDevice::handle() const
{
    std::lock_guard lock(m_mutex);
    // Handles keep their value while open and fit in 32 bits, also in a 64-bit process.
    return m_closed ? InvalidHandle : static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m_handle));
}

uint32_t WinCommDevice::setupComm(uint32_t rxQueueSize, uint32_t txQueueSize)
{
    return whileOpen([&] { return result(SetupComm(m_handle, rxQueueSize, txQueueSize)); });
}

uint32_t WinCommDevice::getCommState(Dcb &dcb)
{
    return whileOpen([&]() -> uint32_t {
        DCB win{};
        win.DCBlength = sizeof win;
        if (!GetCommState(m_handle, &win))
            return GetLastError();
        dcb = fromWin(win);
        return NoError;
    });
}

uint32_t WinCommDevice::setCommState(const Dcb &dcb)
{
    return whileOpen([&] {
        DCB win = toWin(dcb);
        return result(SetCommState(m_handle, &win));
    });
}

uint32_t WinCommDevice::getCommTimeouts(CommTimeouts &timeouts)
{
    return whileOpen([&]() -> uint32_t {
        COMMTIMEOUTS win{};
        if (!GetCommTimeouts(m_handle, &win))
            return GetLastError();
        timeouts = {win.ReadIntervalTimeout, win.ReadTotalTimeoutMultiplier, win.ReadTotalTimeoutConstant,
                    win.WriteTotalTimeoutMultiplier, win.WriteTotalTimeoutConstant};
        return NoError;
    });
}

uint32_t WinCommDevice::setCommTimeouts(const CommTimeouts &timeouts)
{
    return whileOpen([&] {
        COMMTIMEOUTS win{timeouts.readIntervalTimeout, timeouts.readTotalTimeoutMultiplier,
                         timeouts.readTotalTimeoutConstant, timeouts.writeTotalTimeoutMultiplier,
                         timeouts.writeTotalTimeoutConstant};
        return result(SetCommTimeouts(m_handle, &win));
    });
}

uint32_t WinCommDevice::setCommMask(uint32_t mask)
{
    return whileOpen([&] { return result(SetCommMask(m_handle, mask)); });
}

uint32_t WinCommDevice::waitCommEvent(uint32_t &mask)
{
    return whileOpen([&]() -> uint32_t {
        // The system still writes the events of the last wait; a second one would share its block.
        if (inFlight(Op::Status))
            return ErrorInvalidParameter;
        m_commEvents = 0;
        m_maskOut = nullptr;
        const uint32_t error = start(Op::Status, WaitCommEvent(m_handle, &m_commEvents, &overlapped(Op::Status)));
        if (error == NoError)
            mask = m_commEvents;
        else if (error == ErrorIoPending)
            m_maskOut = &mask;
        return error;
    });
}

void WinCommDevice::finishCommWait()
{
    if (!m_maskOut)
        return;
    // A wait signalled from outside before the system ended it saw no event.
    *m_maskOut = inFlight(Op::Status) ? 0 : m_commEvents;
    m_maskOut = nullptr;
}

uint32_t WinCommDevice::read(char *buffer, uint32_t count, uint32_t &got)
{
    return whileOpen([&]() -> uint32_t {
        if (inFlight(Op::Read))
            return ErrorInvalidParameter;
        got = 0;
        const uint32_t error = start(Op::Read, ReadFile(m_handle, buffer, count, nullptr, &overlapped(Op::Read)));
        return error == NoError ? completion(Op::Read, got) : error;
    });
}

uint32_t WinCommDevice::write(const char *buffer, uint32_t count, uint32_t &written)
{
    return whileOpen([&]() -> uint32_t {
        // The buffer of the write in flight belongs to the system until it ends.
        if (inFlight(Op::Write))
            return ErrorInvalidParameter;
        written = 0;
        m_writeBuffer = QByteArray(buffer, count);
        const uint32_t error =
            start(Op::Write, WriteFile(m_handle, m_writeBuffer.constData(), count, nullptr, &overlapped(Op::Write)));
        return error == NoError ? completion(Op::Write, written) : error;
    });
}

uint32_t WinCommDevice::overlappedResult(Op op, uint32_t &transferred)
{
    return whileOpen([&] { return completion(op, transferred); });
}

uint32_t WinCommDevice::clearCommError(uint32_t &errors, ComStat &stat)
{
    return whileOpen([&]() -> uint32_t {
        DWORD lineErrors = 0;
        COMSTAT win{};
        if (!ClearCommError(m_handle, &lineErrors, &win)) {
            const uint32_t error = GetLastError();
            return deviceGone(error) ? ErrorDeviceNotConnected : error;
        }
        errors = lineErrors;
        stat = {holdFlags(win), win.cbInQue, win.cbOutQue};
        return NoError;
    });
}

uint32_t WinCommDevice::getModemStatus(uint32_t &status)
{
    return whileOpen([&]() -> uint32_t {
        DWORD lines = 0;
        const uint32_t error = result(GetCommModemStatus(m_handle, &lines));
        status = lines;
        return lacksLines(error) ? NoError : error;
    });
}

uint32_t WinCommDevice::escape(comm::Escape function)
{
    return whileOpen([&]() -> uint32_t {
        const uint32_t error = result(EscapeCommFunction(m_handle, static_cast<DWORD>(function)));
        const bool lineFunction = function != comm::Escape::SetXoff && function != comm::Escape::SetXon;
        return lineFunction && lacksLines(error) ? NoError : error;
    });
}

uint32_t WinCommDevice::setBreak()
{
    return whileOpen([&] { return result(SetCommBreak(m_handle)); });
}

uint32_t WinCommDevice::clearBreak()
{
    return whileOpen([&] { return result(ClearCommBreak(m_handle)); });
}

uint32_t WinCommDevice::purge(uint32_t flags)
{
    return whileOpen([&] { return result(PurgeComm(m_handle, flags)); });
}

uint32_t WinCommDevice::waitEvents(uint32_t ops, uint32_t timeoutMs, Op &signalled)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return WaitFailed;
    }
    HANDLE events[3] = {};
    Op order[3] = {};
    DWORD count = 0;
    for (Op op : WaitOrder) {
        if (!(ops & opBit(op)))
            continue;
        events[count] = overlapped(op).hEvent;
        order[count++] = op;
    }
    // Not under the lock: the main thread writes, purges and closes meanwhile. The events stay
    // until the destructor, so this never waits on a closed handle.
    const DWORD woken = WaitForMultipleObjects(count, events, FALSE, timeoutMs);
    if (woken == WAIT_TIMEOUT)
        return WaitTimeout;
    if (woken >= WAIT_OBJECT_0 + count)
        return WaitFailed;
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return WaitFailed;
    signalled = order[woken - WAIT_OBJECT_0];
    if (signalled == Op::Status)
        finishCommWait();
    return NoError;
}

uint32_t WinCommDevice::signalEvent(Op op)
{
    return result(SetEvent(overlapped(op).hEvent));
}

uint32_t WinCommDevice::resetEvent(Op op)
{
    return result(ResetEvent(overlapped(op).hEvent));
}

uint32_t WinCommDevice::close()
{
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return ErrorInvalidHandle;
    m_closed = true;
    const uint32_t error = result(CloseHandle(m_handle));
    // A worker blocked in waitEvents wakes now, not at its time-out, and finds the device closed.
    for (OVERLAPPED &pending : m_overlapped)
        SetEvent(pending.hEvent);
    return error;
}
