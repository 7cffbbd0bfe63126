#include "serial/manual_clock.h"

#include <algorithm>

ManualClock::ManualClock(uint32_t start) : m_driver(std::this_thread::get_id()), m_now(start) {}

uint32_t ManualClock::now() const
{
    return static_cast<uint32_t>(elapsed());
}

uint64_t ManualClock::elapsed() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

void ManualClock::sleep(uint32_t ms)
{
    if (std::this_thread::get_id() == m_driver) {
        advance(ms);
        return;
    }
    waitUntil(elapsed() + ms, nullptr);
}

void ManualClock::attach()
{
    std::lock_guard lock(m_mutex);
    ++m_attached;
}

void ManualClock::detach()
{
    std::lock_guard lock(m_mutex);
    --m_attached;
    m_changed.notify_all();
}

void ManualClock::park()
{
    std::lock_guard lock(m_mutex);
    ++m_parked;
    m_changed.notify_all();
}

void ManualClock::unpark()
{
    std::lock_guard lock(m_mutex);
    --m_parked;
    m_changed.notify_all();
}

int ManualClock::parked() const
{
    std::lock_guard lock(m_mutex);
    return m_parked;
}

bool ManualClock::waitUntil(uint64_t deadline, const std::function<bool()> &ready)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (ready && ready())
            return true;
        if (m_now >= deadline)
            return false;
        Waiter waiter{deadline};
        m_waiters.push_back(&waiter);
        ++m_blocked;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return waiter.runnable; });
        m_waiters.erase(std::find(m_waiters.begin(), m_waiters.end(), &waiter));
    }
}

void ManualClock::release(Waiter *waiter)
{
    if (!waiter->runnable) {
        waiter->runnable = true;
        --m_blocked;
    }
}

void ManualClock::notify()
{
    std::lock_guard lock(m_mutex);
    m_recheck = true;
}

void ManualClock::advance(uint32_t ms)
{
    std::unique_lock lock(m_mutex);
    const uint64_t target = m_now + ms;
    waitForQuiet(lock);
    do {
        if (m_recheck) {
            m_recheck = false;
            for (Waiter *waiter : m_waiters)
                release(waiter);
            m_changed.notify_all();
            waitForQuiet(lock);
        }
        uint64_t next = target;
        for (const Waiter *waiter : m_waiters)
            if (!waiter->runnable)
                next = std::min(next, waiter->deadline);
        m_now = std::max(m_now, next);
        for (Waiter *waiter : m_waiters)
            if (waiter->deadline <= m_now)
                release(waiter);
        m_changed.notify_all();
        waitForQuiet(lock);
    } while (m_now < target);
}

void ManualClock::waitForQuiet(std::unique_lock<std::mutex> &lock)
{
    m_changed.wait(lock, [&] { return m_blocked + m_parked >= m_attached; });
}
