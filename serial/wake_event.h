#pragma once

#include <QObject>

/// A wake-up that any thread may raise and the owning thread's event loop answers, in a nested
/// loop too (a modal dialog). Raises that come before the answer count as one.
class WakeEvent : public QObject
{
    Q_OBJECT

  public:
    explicit WakeEvent(QObject *parent = nullptr);
    ~WakeEvent() override;

    /// Thread-safe.
    void raise();

  signals:
    void raised();

  private:
    // An eventfd on Linux, an event object's handle on Windows.
    qintptr m_handle = -1;
};
