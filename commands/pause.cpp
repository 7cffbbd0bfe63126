#include "commands/pause.h"

#include "commands/event_pump.h"
#include "serial/tick_source.h"

#include <algorithm>

Pause::Pause(const TickSource &ticks, EventPump &events) : m_ticks(ticks), m_events(events) {}

void Pause::operator()(std::uint32_t milliseconds) const
{
    const std::uint32_t start = m_ticks.now();
    for (;;) {
        m_events.processPending();
        // Unsigned subtraction keeps the elapsed time right across a wrap of the counter.
        const std::uint32_t elapsed = m_ticks.now() - start;
        if (elapsed > milliseconds)
            return;
        // The first tick that counts is one past the given time; in 64 bits so 0xFFFFFFFF fits.
        const std::uint64_t remaining = std::uint64_t(milliseconds) - elapsed + 1;
        m_events.waitForEvents(static_cast<std::uint32_t>(std::min<std::uint64_t>(remaining, UINT32_MAX)));
    }
}
