#pragma once

#include <cstdint>

/// The 32-bit millisecond tick counter (wraps after about 49 days) and the waits measured on it.
/// The serial worker and the instrument pauses read time only through this interface, so tests
/// can run them on a manual clock.
class TickSource
{
  public:
    virtual ~TickSource() = default;

    virtual uint32_t now() const = 0;

    /// Blocks the calling thread for ms milliseconds of this source's time.
    virtual void sleep(uint32_t ms) = 0;

    // A simulated clock moves on only once every thread that runs on it is blocked. Threads that
    // run on the clock attach before they start and detach when they end; a thread that blocks
    // outside the clock (waiting for the main thread) is parked by itself and unparked by the
    // thread that releases it, so no moment exists in which it counts as running but is not.
    virtual void attach() {}
    virtual void detach() {}
    virtual void park() {}
    virtual void unpark() {}
};
