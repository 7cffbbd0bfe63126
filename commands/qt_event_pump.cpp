#include "commands/qt_event_pump.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <climits>

void QtEventPump::processPending()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitForEvents(std::uint32_t milliseconds)
{
    // The timer only wakes the dispatcher; a timer of its own per call keeps nested waits apart.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(static_cast<int>(std::min<std::uint32_t>(milliseconds, INT_MAX)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
