#include "serial/sync_queue.h"

#include "serial/tick_source.h"
#include "serial/wake_event.h"

SyncQueue::SyncQueue(TickSource &ticks)
    : m_ticks(ticks), m_wake(new WakeEvent(this)), m_owner(std::this_thread::get_id())
{
    connect(m_wake, &WakeEvent::raised, this, &SyncQueue::drain);
}

SyncQueue::~SyncQueue() = default;

void SyncQueue::call(const std::function<void()> &routine)
{
    if (std::this_thread::get_id() == m_owner) {
        routine();
        return;
    }
    Call pending{routine};
    m_ticks.park();
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(&pending);
    }
    m_wake->raise();
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [&] { return pending.done; });
}

bool SyncQueue::drain()
{
    bool ran = false;
    for (;;) {
        Call *next = nullptr;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty())
                return ran;
            next = m_pending.front();
            m_pending.pop_front();
        }
        next->routine();
        ran = true;
        m_ticks.unpark();
        std::lock_guard lock(m_mutex);
        next->done = true;
        m_done.notify_all();
    }
}
