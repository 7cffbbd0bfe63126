#include "tools/simulator_loop.h"

#include "tools/instrument.h"
#include "tools/pseudo_terminal.h"
#include "tools/uart_resampler.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace {

// Nobody has the port open: look again this often.
constexpr int hangUpRetryMs = 50;
// Start bit, 7 data bits, parity and 2 stop bits.
constexpr double bitsPerCharacter = 11.0;

} // namespace

SimulatorLoop::SimulatorLoop(PseudoTerminal &terminal, Instrument &instrument, quint32 baud, double speedFactor)
    : m_terminal(terminal), m_instrument(instrument), m_baud(baud), m_speedFactor(speedFactor),
      m_pacer(baud / bitsPerCharacter * speedFactor, Clock::now())
{
}

void SimulatorLoop::run(const std::atomic<bool> &stop)
{
    while (!stop.load())
        step(500);
}

void SimulatorLoop::step(int maxWaitMs)
{
    const bool sending = !m_unsent.isEmpty() && m_pacer.allowance(Clock::now()) >= nextChunk();
    pollfd line{m_terminal.masterFd(), static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
    if (::poll(&line, 1, sending ? maxWaitMs : waitMs(maxWaitMs)) < 0 && errno == EINTR)
        return;
    if (line.revents & POLLHUP) {
        setConnected(false);
        ::poll(nullptr, 0, std::min(hangUpRetryMs, maxWaitMs));
    } else {
        setConnected(true);
        if (line.revents & POLLIN)
            receive();
        if (line.revents & POLLOUT)
            flush();
    }
    advanceOutput();
}

void SimulatorLoop::setConnected(bool connected)
{
    if (connected && !m_connected)
        m_instrument.lineConnected();
    if (!connected)
        m_unsent.clear();
    m_connected = connected;
}

void SimulatorLoop::receive()
{
    const QByteArray bytes = m_terminal.readAvailable();
    if (!bytes.isEmpty())
        m_instrument.receive(asHeardBy(m_baud, m_terminal.lineSpeed(), bytes));
}

void SimulatorLoop::flush()
{
    if (m_unsent.isEmpty())
        return;
    const qsizetype allowed = std::min(m_unsent.size(), m_pacer.allowance(Clock::now()));
    if (allowed == 0)
        return;
    const qsizetype written = m_terminal.write(m_unsent.left(allowed));
    m_pacer.spend(written);
    m_unsent.remove(0, written);
}

void SimulatorLoop::advanceOutput()
{
    // One printout per pass, and only once the line has taken the previous one, so that
    // neither a fast speed factor nor a port nobody reads can keep the loop from the line.
    if (m_next && m_unsent.isEmpty() && Clock::now() >= m_due) {
        // With nobody on the line the instrument prints all the same, into the void.
        if (m_connected)
            m_unsent = asHeardBy(m_terminal.lineSpeed(), m_baud, *m_next);
        m_next.reset();
        flush();
    }
    if (!m_next && m_instrument.hasOutput()) {
        const Printout printout = m_instrument.takeOutput();
        m_next = printout.text;
        m_due = Clock::now() + std::chrono::milliseconds(qRound64(printout.delayMs / m_speedFactor));
    }
}

int SimulatorLoop::waitMs(int maxWaitMs) const
{
    if (!m_unsent.isEmpty())
        return std::min(maxWaitMs, m_pacer.msUntil(nextChunk()));
    if (!m_next)
        return maxWaitMs;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_due - Clock::now()).count();
    return static_cast<int>(std::clamp<qint64>(left, 0, maxWaitMs));
}

qsizetype SimulatorLoop::nextChunk() const
{
    return std::min(m_unsent.size(), m_pacer.chunk());
}

QByteArray SimulatorLoop::asHeardBy(quint32 receiverBaud, quint32 senderBaud, const QByteArray &bytes) const
{
    if (receiverBaud == senderBaud)
        return bytes;
    return UartResampler(senderBaud, receiverBaud).convert(bytes);
}
