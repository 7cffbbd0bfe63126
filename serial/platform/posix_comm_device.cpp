#include "serial/platform/posix_comm_device.h"

#include "serial/platform/posix_error.h"
#include "serial/platform/posix_termios2.h"
#include "serial/tick_source.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace comm;

namespace {

constexpr uint32_t DefaultQueueSize = 4096;
// The asked-for input queue size is a recommendation, as it is to the Windows drivers. Holding
// at least this much lets a long reply reach the cluster size (4096 in the main window, above its
// queue size of 2048) instead of stalling in the kernel until the time allowance runs out.
constexpr uint32_t MinInputQueue = 65536;
constexpr uint32_t ForbiddenFlow = FOutxDsrFlow | FDtrControlHandshake | FDsrSensitivity;

// What a device that has been unplugged, or whose other end has gone, answers.
bool deviceGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

// A pseudo-terminal has no modem lines and no break; it answers those requests like this.
bool lacksRequest(int error)
{
    return error == ENOTTY || error == EINVAL;
}

uint32_t modemFromBits(int bits)
{
    return ((bits & TIOCM_CTS) ? MsCtsOn : 0) | ((bits & TIOCM_DSR) ? MsDsrOn : 0) |
           ((bits & TIOCM_RI) ? MsRingOn : 0) | ((bits & TIOCM_CD) ? MsRlsdOn : 0);
}

bool dcbSupported(const Dcb &dcb)
{
    // Linux has no 1.5 stop bits, no DSR/DTR handshake and no characters below 5 bits.
    return dcb.baudRate != 0 && dcb.byteSize >= 5 && dcb.byteSize <= 8 && dcb.stopBits != One5StopBits &&
           dcb.stopBits <= TwoStopBits && dcb.parity <= SpaceParity && (dcb.flags & ForbiddenFlow) == 0;
}

void applyDcb(const Dcb &dcb, termios &settings)
{
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    settings.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    settings.c_cflag |= sizes[dcb.byteSize - 5];
    if (dcb.stopBits == TwoStopBits)
        settings.c_cflag |= CSTOPB;
    if (dcb.parity != NoParity)
        settings.c_cflag |= PARENB;
    if (dcb.parity == OddParity || dcb.parity == MarkParity)
        settings.c_cflag |= PARODD;
    if (dcb.parity == MarkParity || dcb.parity == SpaceParity)
        settings.c_cflag |= CMSPAR;
    if (dcb.flags & (FOutxCtsFlow | FRtsControlHandshake))
        settings.c_cflag |= CRTSCTS;
    // Errors stay marked in the stream (PARMRK) so they can be counted and replaced.
    settings.c_iflag &= ~(IXON | IXOFF | INPCK | IGNPAR | IGNBRK | BRKINT | ISTRIP);
    settings.c_iflag |= PARMRK;
    if (dcb.flags & FOutX)
        settings.c_iflag |= IXON;
    if (dcb.flags & FInX)
        settings.c_iflag |= IXOFF;
    if (dcb.flags & FParity)
        settings.c_iflag |= INPCK;
    settings.c_cc[VSTART] = static_cast<cc_t>(dcb.xonChar);
    settings.c_cc[VSTOP] = static_cast<cc_t>(dcb.xoffChar);
}

// glibc reports EINVAL after a pseudo-terminal has taken the settings but forced the framing to
// 8 bits without parity. The line is usable all the same, so that case is not a failure.
bool onlyFramingRefused(int fd, const termios &wanted)
{
    constexpr tcflag_t framing = CSIZE | PARENB | PARODD | CMSPAR;
    termios actual{};
    if (tcgetattr(fd, &actual) != 0)
        return false;
    return (actual.c_cflag & ~framing) == (wanted.c_cflag & ~framing) && actual.c_iflag == wanted.c_iflag;
}

int applySettings(int fd, const termios &settings)
{
    if (tcsetattr(fd, TCSANOW, &settings) == 0)
        return 0;
    const int error = errno;
    return error == EINVAL && onlyFramingRefused(fd, settings) ? 0 : error;
}

} // namespace

PosixCommDevice::PosixCommDevice(int fd, int wakeFd, std::shared_ptr<TickSource> ticks)
    : m_ticks(std::move(ticks)), m_fd(fd), m_wakeFd(wakeFd)
{
    readDcb(fd, m_dcb);
    noticeModemChanges();
    noticeOverruns();
    m_state = OverlappedState();
    m_lineErrors = 0;
}

template <typename Call> uint32_t PosixCommDevice::whileOpen(Call call)
{
    std::lock_guard lock(m_mutex);
    return m_closed ? ErrorInvalidHandle : call();
}

PosixCommDevice::~PosixCommDevice()
{
    if (!m_closed)
        ::close(m_fd);
    ::close(m_wakeFd);
}

uint32_t PosixCommDevice::readDcb(int fd, Dcb &dcb)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return commErrorFromErrno(errno);
    if (int error = linespeed::speed(fd, dcb.baudRate))
        return commErrorFromErrno(error);
    static const uint8_t sizes[] = {5, 6, 7, 8};
    dcb.byteSize = sizes[(settings.c_cflag & CSIZE) == CS5   ? 0
                         : (settings.c_cflag & CSIZE) == CS6 ? 1
                         : (settings.c_cflag & CSIZE) == CS7 ? 2
                                                             : 3];
    dcb.stopBits = (settings.c_cflag & CSTOPB) ? TwoStopBits : OneStopBit;
    dcb.parity = NoParity;
    if (settings.c_cflag & PARENB) {
        const bool odd = settings.c_cflag & PARODD;
        dcb.parity = (settings.c_cflag & CMSPAR) ? (odd ? MarkParity : SpaceParity) : (odd ? OddParity : EvenParity);
    }
    return NoError;
}

uint32_t PosixCommDevice::handle() const
{
    std::lock_guard lock(m_mutex);
    return m_closed ? InvalidHandle : static_cast<uint32_t>(m_fd);
}

uint32_t PosixCommDevice::setupComm(uint32_t rxQueueSize, uint32_t txQueueSize)
{
    return whileOpen([&]() -> uint32_t {
        m_rxQueueSize = std::max(rxQueueSize, MinInputQueue);
        m_txQueueSize = txQueueSize ? txQueueSize : DefaultQueueSize;
        return NoError;
    });
}

uint32_t PosixCommDevice::getCommState(Dcb &dcb)
{
    return whileOpen([&]() -> uint32_t {
        dcb = m_dcb;
        return NoError;
    });
}

uint32_t PosixCommDevice::setCommState(const Dcb &dcb)
{
    return whileOpen([&]() -> uint32_t {
        if (!dcbSupported(dcb))
            return ErrorInvalidParameter;
        termios settings{};
        if (tcgetattr(m_fd, &settings) != 0)
            return commErrorFromErrno(errno);
        applyDcb(dcb, settings);
        if (int error = applySettings(m_fd, settings))
            return commErrorFromErrno(error);
        if (int error = linespeed::setSpeed(m_fd, dcb.baudRate))
            return commErrorFromErrno(error);
        m_dcb = dcb;
        return NoError;
    });
}

uint32_t PosixCommDevice::getCommTimeouts(CommTimeouts &timeouts)
{
    return whileOpen([&]() -> uint32_t {
        timeouts = m_timeouts;
        return NoError;
    });
}

uint32_t PosixCommDevice::setCommTimeouts(const CommTimeouts &timeouts)
{
    return whileOpen([&]() -> uint32_t {
        m_timeouts = timeouts;
        return NoError;
    });
}

uint32_t PosixCommDevice::setCommMask(uint32_t mask)
{
    return whileOpen([&]() -> uint32_t {
        m_state.setMask(mask);
        wake();
        return NoError;
    });
}

uint32_t PosixCommDevice::waitCommEvent(uint32_t &mask)
{
    return whileOpen([&]() -> uint32_t {
        pump();
        return m_state.startWait(mask);
    });
}

uint32_t PosixCommDevice::read(char *buffer, uint32_t count, uint32_t &got)
{
    return whileOpen([&]() -> uint32_t {
        got = std::min<uint32_t>(count, static_cast<uint32_t>(m_input.size()));
        std::copy_n(m_input.constData(), got, buffer);
        m_input.remove(0, got);
        m_state.signal(Op::Read);
        return NoError;
    });
}

uint32_t PosixCommDevice::write(const char *buffer, uint32_t count, uint32_t &written)
{
    return whileOpen([&]() -> uint32_t {
        if (m_writePending)
            return ErrorInvalidParameter;
        m_output = QByteArray(buffer, count);
        m_writeSent = 0;
        m_writeAborted = false;
        m_txBusy = true;
        m_state.reset(Op::Write);
        const uint32_t error = pushOutput();
        written = m_writeSent;
        if (error == ErrorIoIncomplete) {
            m_writePending = true;
            m_writeStart = m_ticks->now();
            m_writeTimeout = m_timeouts.writeTotalTimeoutConstant + m_timeouts.writeTotalTimeoutMultiplier * count;
            wake();
            return ErrorIoPending;
        }
        m_output.clear();
        m_state.signal(Op::Write);
        return error;
    });
}

uint32_t PosixCommDevice::pushOutput()
{
    while (m_writeSent < static_cast<uint32_t>(m_output.size())) {
        const ssize_t sent = ::write(m_fd, m_output.constData() + m_writeSent, m_output.size() - m_writeSent);
        if (sent > 0)
            m_writeSent += static_cast<uint32_t>(sent);
        else if (sent < 0 && errno == EINTR)
            continue;
        else if (sent < 0 && errno != EAGAIN)
            return commErrorFromErrno(errno);
        else
            return ErrorIoIncomplete;
    }
    return NoError;
}

uint32_t PosixCommDevice::overlappedResult(Op op, uint32_t &transferred)
{
    return whileOpen([&]() -> uint32_t {
        if (op != Op::Write)
            return ErrorIoIncomplete;
        transferred = m_writeSent;
        if (m_writeAborted)
            return ErrorOperationAborted;
        if (!m_writePending)
            return NoError;
        uint32_t error = pushOutput();
        transferred = m_writeSent;
        // Like a port's write time-out: the write ends, short, once its time is up.
        if (error == ErrorIoIncomplete && m_writeTimeout != 0 && m_ticks->now() - m_writeStart > m_writeTimeout)
            error = NoError;
        if (error == ErrorIoIncomplete)
            return error;
        m_writePending = false;
        m_output.clear();
        m_state.signal(Op::Write);
        return error;
    });
}

uint32_t PosixCommDevice::clearCommError(uint32_t &errors, ComStat &stat)
{
    return whileOpen([&]() -> uint32_t {
        pump();
        // Bytes that came before the other side went away are still delivered.
        if (m_hungUp && m_input.isEmpty())
            return ErrorDeviceNotConnected;
        errors = m_lineErrors;
        m_lineErrors = 0;
        stat.flags = 0;
        stat.inQueue = static_cast<uint32_t>(m_input.size());
        stat.outQueue = outQueue();
        return NoError;
    });
}

uint32_t PosixCommDevice::getModemStatus(uint32_t &status)
{
    return whileOpen([&]() -> uint32_t {
        status = 0;
        int bits = 0;
        if (!m_modemLines)
            return NoError;
        if (ioctl(m_fd, TIOCMGET, &bits) != 0)
            return deviceGone(errno) ? ErrorDeviceNotConnected : withoutLines(errno);
        status = modemFromBits(bits);
        return NoError;
    });
}

uint32_t PosixCommDevice::withoutLines(int error)
{
    if (!lacksRequest(error))
        return commErrorFromErrno(error);
    m_modemLines = false;
    return NoError;
}

uint32_t PosixCommDevice::modemIoctl(unsigned long request, int bits)
{
    if (!m_modemLines || ioctl(m_fd, request, &bits) == 0)
        return NoError;
    return withoutLines(errno);
}

uint32_t PosixCommDevice::escape(Escape function)
{
    return whileOpen([&]() -> uint32_t {
        switch (function) {
        case Escape::SetRts:
            return modemIoctl(TIOCMBIS, TIOCM_RTS);
        case Escape::ClrRts:
            return modemIoctl(TIOCMBIC, TIOCM_RTS);
        case Escape::SetDtr:
            return modemIoctl(TIOCMBIS, TIOCM_DTR);
        case Escape::ClrDtr:
            return modemIoctl(TIOCMBIC, TIOCM_DTR);
        case Escape::SetXoff:
            return tcflow(m_fd, TCOOFF) == 0 ? NoError : commErrorFromErrno(errno);
        case Escape::SetXon:
            return tcflow(m_fd, TCOON) == 0 ? NoError : commErrorFromErrno(errno);
        }
        return ErrorInvalidParameter;
    });
}

uint32_t PosixCommDevice::setBreak()
{
    return whileOpen([&]() -> uint32_t {
        return ioctl(m_fd, TIOCSBRK) == 0 || lacksRequest(errno) ? NoError : commErrorFromErrno(errno);
    });
}

uint32_t PosixCommDevice::clearBreak()
{
    return whileOpen([&]() -> uint32_t {
        return ioctl(m_fd, TIOCCBRK) == 0 || lacksRequest(errno) ? NoError : commErrorFromErrno(errno);
    });
}

uint32_t PosixCommDevice::purge(uint32_t flags)
{
    return whileOpen([&]() -> uint32_t {
        if ((flags & PurgeTxAbort) && m_writePending) {
            m_writePending = false;
            m_writeAborted = true;
            m_output.clear();
            m_state.signal(Op::Write);
        }
        if (flags & PurgeRxClear) {
            m_input.clear();
            m_markState = 0;
        }
        const int queues = (flags & PurgeRxClear) ? ((flags & PurgeTxClear) ? TCIOFLUSH : TCIFLUSH)
                                                  : ((flags & PurgeTxClear) ? TCOFLUSH : -1);
        if (queues >= 0 && tcflush(m_fd, queues) != 0)
            return commErrorFromErrno(errno);
        return NoError;
    });
}

uint32_t PosixCommDevice::signalEvent(Op op)
{
    std::lock_guard lock(m_mutex);
    m_state.signal(op);
    if (!m_closed)
        wake();
    return NoError;
}

uint32_t PosixCommDevice::resetEvent(Op op)
{
    std::lock_guard lock(m_mutex);
    m_state.reset(op);
    return NoError;
}

uint32_t PosixCommDevice::close()
{
    Lock lock(m_mutex);
    if (m_closed)
        return ErrorInvalidHandle;
    m_closed = true;
    // The worker may be polling this descriptor; it must let go before the number can be reused.
    wake();
    m_pollDone.wait(lock, [&] { return m_polling == 0; });
    flock(m_fd, LOCK_UN);
    return ::close(m_fd) == 0 ? NoError : commErrorFromErrno(errno);
}

// ---- Waiting ------------------------------------------------------------------------------

uint32_t PosixCommDevice::waitEvents(uint32_t ops, uint32_t timeoutMs, Op &signalled)
{
    Lock lock(m_mutex);
    const uint32_t start = m_ticks->now();
    for (;;) {
        if (m_closed)
            return WaitFailed;
        pump();
        if (m_writePending)
            pushOutput();
        if (m_state.take(ops, signalled))
            return NoError;
        const uint32_t elapsed = m_ticks->now() - start;
        if (elapsed >= timeoutMs)
            return WaitTimeout;
        if (uint32_t error = pollOnce(lock, timeoutMs - elapsed))
            return error;
    }
}

uint32_t PosixCommDevice::pollOnce(Lock &lock, uint32_t timeoutMs)
{
    pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_fd, 0, 0}};
    // A device that has gone away reports POLLHUP at once forever; leaving it out of the poll
    // keeps the caller's pacing instead of spinning.
    if (!m_hungUp && static_cast<uint32_t>(m_input.size()) < m_rxQueueSize)
        fds[1].events |= POLLIN;
    if (!m_hungUp && m_writePending)
        fds[1].events |= POLLOUT;
    ++m_polling;
    lock.unlock();
    const int ready = ::poll(fds, fds[1].events ? 2 : 1, static_cast<int>(timeoutMs));
    const int error = errno;
    lock.lock();
    --m_polling;
    m_pollDone.notify_all();
    if (ready < 0 && error != EINTR)
        return WaitFailed;
    if (fds[0].revents & POLLIN) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
    }
    if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
        m_hungUp = true;
    return NoError;
}

void PosixCommDevice::wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

// ---- Reception ----------------------------------------------------------------------------

void PosixCommDevice::pump()
{
    char chunk[1024];
    while (static_cast<uint32_t>(m_input.size()) < m_rxQueueSize) {
        const size_t room = std::min<size_t>(sizeof chunk, m_rxQueueSize - m_input.size());
        const ssize_t count = ::read(m_fd, chunk, room);
        if (count > 0) {
            takeBytes(chunk, chunk + count);
            continue;
        }
        if (count == 0 || deviceGone(errno))
            m_hungUp = true;
        if (count < 0 && errno == EINTR)
            continue;
        break;
    }
    noticeModemChanges();
    noticeOverruns();
    noticeTxEmpty();
}

// Runs between the line's error marks (0xFF) go to the queue in one piece; the marks and the
// bytes they mark go one by one.
void PosixCommDevice::takeBytes(const char *bytes, const char *end)
{
    while (bytes < end) {
        if (m_markState != 0) {
            takeByte(*bytes++);
            continue;
        }
        const char *mark = std::find(bytes, end, '\xFF');
        addRun(bytes, mark);
        bytes = mark;
        if (bytes < end)
            takeByte(*bytes++);
    }
}

// What addData does for each byte of the run. Plain bytes all record the same event, and a
// second record after the one that may end a pending wait is all that any further byte adds.
void PosixCommDevice::addRun(const char *bytes, const char *end)
{
    const bool dropNull = m_dcb.flags & FNull;
    while (bytes < end) {
        const char *special =
            std::find_if(bytes, end, [&](char byte) { return byte == m_dcb.evtChar || (byte == 0 && dropNull); });
        if (special > bytes) {
            m_input.append(bytes, special - bytes);
            m_state.record(EvRxChar);
            if (special - bytes > 1)
                m_state.record(EvRxChar);
        }
        if (special < end)
            addData(*special++);
        bytes = special;
    }
}

void PosixCommDevice::takeByte(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    switch (m_markState) {
    case 0:
        if (value == 0xFF)
            m_markState = 1;
        else
            addData(byte);
        return;
    case 1:
        m_markState = value == 0 ? 2 : 0;
        if (value == 0xFF) {
            addData(byte);
        } else if (value != 0) {
            addData('\xFF');
            addData(byte);
        }
        return;
    default:
        m_markState = 0;
        takeMarked(byte);
    }
}

void PosixCommDevice::takeMarked(char byte)
{
    if (byte == 0) {
        m_lineErrors |= CeBreak;
        m_state.record(EvBreak);
        return;
    }
    const bool parity = m_dcb.parity != NoParity;
    m_lineErrors |= parity ? CeRxParity : CeFrame;
    m_state.record(EvErr);
    addData(parity && (m_dcb.flags & FErrorChar) ? m_dcb.errorChar : byte);
}

void PosixCommDevice::addData(char byte)
{
    if (byte == 0 && (m_dcb.flags & FNull))
        return;
    m_input.append(byte);
    m_state.record(byte == m_dcb.evtChar ? EvRxChar | EvRxFlag : EvRxChar);
}

void PosixCommDevice::noticeModemChanges()
{
    int bits = 0;
    if (!m_modemLines || ioctl(m_fd, TIOCMGET, &bits) != 0)
        return;
    const uint32_t status = modemFromBits(bits);
    const uint32_t changed = status ^ m_lastModem;
    m_lastModem = status;
    m_state.record(((changed & MsCtsOn) ? EvCts : 0) | ((changed & MsDsrOn) ? EvDsr : 0) |
                   ((changed & MsRlsdOn) ? EvRlsd : 0) | ((changed & status & MsRingOn) ? EvRing : 0));
}

void PosixCommDevice::noticeOverruns()
{
    serial_icounter_struct counts{};
    if (!m_countsOverruns)
        return;
    if (ioctl(m_fd, TIOCGICOUNT, &counts) != 0) {
        m_countsOverruns = !lacksRequest(errno);
        return;
    }
    const int overruns = counts.overrun + counts.buf_overrun;
    if (overruns > m_lastOverruns) {
        m_lineErrors |= CeOverrun;
        m_state.record(EvErr);
    }
    m_lastOverruns = overruns;
}

void PosixCommDevice::noticeTxEmpty()
{
    if (!m_txBusy || m_writePending || outQueue() != 0)
        return;
    m_txBusy = false;
    m_state.record(EvTxEmpty);
}

uint32_t PosixCommDevice::outQueue() const
{
    int queued = 0;
    if (ioctl(m_fd, TIOCOUTQ, &queued) != 0)
        queued = 0;
    return static_cast<uint32_t>(queued) + (m_writePending ? m_output.size() - m_writeSent : 0);
}
