#include "serial/wake_event.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

WakeEvent::WakeEvent(QObject *parent) : QObject(parent), m_handle(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    auto *notifier = new QSocketNotifier(m_handle, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t drained = ::read(static_cast<int>(m_handle), &count, sizeof count);
        emit raised();
    });
}

WakeEvent::~WakeEvent()
{
    ::close(static_cast<int>(m_handle));
}

void WakeEvent::raise()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(static_cast<int>(m_handle), &one, sizeof one);
}
