#pragma once

#include <QtGlobal>

#include <chrono>

/// Hands out the bytes a serial line can carry as time goes by, so that text leaves the
/// instrument no faster than its line speed allows.
class LinePacer
{
  public:
    using Clock = std::chrono::steady_clock;

    LinePacer(double bytesPerSecond, Clock::time_point start);

    /// How many bytes may go out now.
    qsizetype allowance(Clock::time_point now);
    void spend(qsizetype bytes) { m_credit -= bytes; }
    /// The most that goes out in one write; a line saves up no more than that.
    qsizetype chunk() const;
    /// Time until `bytes` (at most a chunk) may go out, at least 1 ms.
    int msUntil(qsizetype bytes) const;

  private:
    double m_bytesPerMs;
    double m_credit = 0.0;
    Clock::time_point m_last;
};
