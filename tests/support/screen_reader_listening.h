#pragma once

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

/// A screen reader on the bus for as long as this lives: the platform's accessibility switched
/// on, as the bus bridge does when a screen reader starts, and the events going to the handler.
/// Needs Qt6::GuiPrivate: the offscreen platform offers no public call for it.
class ScreenReaderListening
{
  public:
    explicit ScreenReaderListening(QAccessible::UpdateHandler handler)
        : m_before(QAccessible::installUpdateHandler(handler))
    {
        platform()->setActive(true);
    }
    ~ScreenReaderListening()
    {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(m_before);
    }
    ScreenReaderListening(const ScreenReaderListening &) = delete;
    ScreenReaderListening &operator=(const ScreenReaderListening &) = delete;

  private:
    static QPlatformAccessibility *platform() { return QGuiApplicationPrivate::platformIntegration()->accessibility(); }
    QAccessible::UpdateHandler m_before;
};
