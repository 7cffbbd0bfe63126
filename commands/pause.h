#pragma once

#include <cstdint>

class EventPump;
class TickSource;

/// The wait between the key strings of an instrument command. Events keep being handled while
/// it waits, so handlers run meanwhile and may themselves pause.
class Pause
{
  public:
    Pause(const TickSource &ticks, EventPump &events);

    /// Returns once more than milliseconds have passed on the tick counter, after every pending
    /// event has been handled at least once, also for 0. Sleeps between events instead of spinning.
    void operator()(std::uint32_t milliseconds) const;

  private:
    const TickSource &m_ticks;
    EventPump &m_events;
};
