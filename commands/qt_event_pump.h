#pragma once

#include "commands/event_pump.h"

/// The Qt event loop of the calling thread; needs a QCoreApplication.
class QtEventPump : public EventPump
{
  public:
    void processPending() override;
    void waitForEvents(std::uint32_t milliseconds) override;
};
