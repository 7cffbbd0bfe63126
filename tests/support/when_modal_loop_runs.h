#pragma once

#include <QThread>
#include <QTimer>

#include <functional>

/// Runs act once a modal dialog's own event loop runs. A zero-time timer alone can fire while
/// Windows is still showing the dialog, before exec() starts its loop; a dialog closed then
/// leaves exec() waiting for ever.
inline void whenModalLoopRuns(std::function<void()> act, int outerLevel = QThread::currentThread()->loopLevel())
{
    QTimer::singleShot(0, [act = std::move(act), outerLevel]() mutable {
        if (QThread::currentThread()->loopLevel() > outerLevel)
            act();
        else
            whenModalLoopRuns(std::move(act), outerLevel);
    });
}
