#pragma once

#include <QObject>

class WakeEvent;

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class TickSource;

/// Runs routines of other threads in the thread that created the queue (the main thread), one
/// at a time and in the order they came, while that thread serves its event loop. The caller
/// blocks until its routine has run. The hand-over itself uses std primitives; an event counter
/// watched by the event loop only wakes it, so no object crosses the threads through Qt.
class SyncQueue : public QObject
{
  public:
    explicit SyncQueue(TickSource &ticks);
    ~SyncQueue() override;

    /// Called in the owning thread, the routine runs at once.
    void call(const std::function<void()> &routine);

    /// Runs every routine waiting now (owning thread only); returns whether one ran.
    bool drain();

  private:
    struct Call
    {
        const std::function<void()> &routine;
        bool done = false;
    };

    TickSource &m_ticks;
    WakeEvent *const m_wake;
    const std::thread::id m_owner;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<Call *> m_pending;
};
