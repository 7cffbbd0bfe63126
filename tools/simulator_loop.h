#pragma once

#include "tools/line_pacer.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <optional>

class Instrument;
class PseudoTerminal;

/// Carries keys from the line to the instrument and its printouts back at their pace and
/// no faster than the line speed, garbled when the line is set to another speed than the
/// instrument's.
class SimulatorLoop
{
  public:
    /// speedFactor > 1 shortens every delay of the instrument by that factor.
    SimulatorLoop(PseudoTerminal &terminal, Instrument &instrument, quint32 baud, double speedFactor);

    void run(const std::atomic<bool> &stop);
    /// One pass: wait for the line or the next printout, at most maxWaitMs.
    void step(int maxWaitMs);

  private:
    using Clock = std::chrono::steady_clock;

    void setConnected(bool connected);
    void receive();
    void flush();
    void advanceOutput();
    int waitMs(int maxWaitMs) const;
    qsizetype nextChunk() const;
    QByteArray asHeardBy(quint32 receiverBaud, quint32 senderBaud, const QByteArray &bytes) const;

    PseudoTerminal &m_terminal;
    Instrument &m_instrument;
    quint32 m_baud;
    double m_speedFactor;
    bool m_connected = false;
    std::optional<QByteArray> m_next;
    Clock::time_point m_due;
    QByteArray m_unsent;
    LinePacer m_pacer;
};
