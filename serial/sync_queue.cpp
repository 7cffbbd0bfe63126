#include "serial/sync_queue.h"

#include "serial/tick_source.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

SyncQueue::SyncQueue(TickSource &ticks)
    : m_ticks(ticks), m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_owner(std::this_thread::get_id())
{
    auto *notifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
        drain();
    });
}

SyncQueue::~SyncQueue()
{
    ::close(m_wakeFd);
}

void SyncQueue::wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

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
    wake();
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
