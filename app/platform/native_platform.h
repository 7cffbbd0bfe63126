#pragma once

#include "app/platform/native_dialogs.h"
#include "app/platform/platform.h"
#include "commands/qt_event_pump.h"

/// The real dialogs, serial ports, clock and event loop.
class NativePlatform
{
  public:
    Platform parts();

  private:
    NativeDialogs m_dialogs;
    QtEventPump m_events;
};
