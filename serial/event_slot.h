#pragma once

#include <atomic>
#include <functional>
#include <utility>

/// An optional event handler, assigned and called in the main thread like a std::function.
/// Whether one is assigned can also be asked from the worker thread, which raises an event only
/// when there is a handler to run.
template <typename Signature> class EventSlot
{
  public:
    EventSlot() = default;
    EventSlot(const EventSlot &) = delete;
    EventSlot &operator=(const EventSlot &) = delete;

    EventSlot &operator=(std::function<Signature> handler)
    {
        m_handler = std::move(handler);
        m_assigned = static_cast<bool>(m_handler);
        return *this;
    }

    explicit operator bool() const { return m_assigned; }

    template <typename... Args> void operator()(Args &&...args) const { m_handler(std::forward<Args>(args)...); }

  private:
    std::function<Signature> m_handler;
    std::atomic<bool> m_assigned{false};
};
