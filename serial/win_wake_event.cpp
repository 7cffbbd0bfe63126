#include "serial/wake_event.h"

#include <QWinEventNotifier>

#include <windows.h>

namespace {

HANDLE handleOf(qintptr value)
{
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

// Auto-reset: the notifier's wait takes the signal, so raises before the answer count as one.
WakeEvent::WakeEvent(QObject *parent)
    : QObject(parent), m_handle(reinterpret_cast<qintptr>(CreateEventW(nullptr, FALSE, FALSE, nullptr)))
{
    auto *notifier = new QWinEventNotifier(handleOf(m_handle), this);
    connect(notifier, &QWinEventNotifier::activated, this, &WakeEvent::raised);
}

WakeEvent::~WakeEvent()
{
    // The notifier, a child, lets go of the handle before it is closed.
    qDeleteAll(findChildren<QWinEventNotifier *>());
    CloseHandle(handleOf(m_handle));
}

void WakeEvent::raise()
{
    SetEvent(handleOf(m_handle));
}
