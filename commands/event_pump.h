#pragma once

#include <cstdint>

/// The window thread's event queue as Pause sees it: run what is waiting, or sleep until
/// something arrives. Tests put a scripted queue on a manual clock in its place.
class EventPump
{
  public:
    virtual ~EventPump() = default;

    /// Runs every event that is waiting now.
    virtual void processPending() = 0;

    /// Returns when an event has arrived, or after at most milliseconds; may also run events.
    virtual void waitForEvents(std::uint32_t milliseconds) = 0;
};
