#pragma once

#include "serial/tick_source.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/// A clock that moves only when told, for deterministic tests of timed code that runs on other
/// threads. The thread that creates the clock drives it: its sleep() advances the clock. Every
/// other thread that waits on it blocks until the driver has advanced far enough, and advance()
/// returns only once every attached thread is blocked again, so each step is fully played out.
class ManualClock : public TickSource
{
  public:
    explicit ManualClock(uint32_t start = 0);

    uint32_t now() const override;
    void sleep(uint32_t ms) override;
    void attach() override;
    void detach() override;
    void park() override;
    void unpark() override;

    /// Moves time forward by ms, stopping at each deadline of a waiting thread on the way.
    void advance(uint32_t ms);

    /// Time without wrapping, for schedules that span a wrap of now().
    uint64_t elapsed() const;

    /// Blocks until ready() holds or elapsed() reaches deadline; returns whether ready() held.
    /// ready() runs under the clock's lock, so it must not call back into the clock.
    bool waitUntil(uint64_t deadline, const std::function<bool()> &ready);

    /// Makes every waiting thread test its ready() again at the next advance, so a test can
    /// script several changes that the waiting threads then see together.
    void notify();

    /// Number of threads that wait for the driver thread outside the clock.
    int parked() const;

  private:
    struct Waiter
    {
        uint64_t deadline;
        bool runnable = false;
    };

    void waitForQuiet(std::unique_lock<std::mutex> &lock);
    void release(Waiter *waiter);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread::id m_driver;
    uint64_t m_now;
    int m_attached = 0;
    int m_blocked = 0;
    int m_parked = 0;
    bool m_recheck = false;
    std::vector<Waiter *> m_waiters;
};
