#pragma once

#include "serial/serial_port.h"

#include <memory>

class Dialogs;
class EventPump;
class TickSource;

/// The parts of the operating system the program is built on. The program uses the native ones;
/// tests put fakes in their place and so run the program's own wiring.
struct Platform
{
    Dialogs &dialogs;
    SerialBackend serial;
    /// The clock of the waits between key strings.
    std::shared_ptr<TickSource> ticks;
    /// The window thread's events, served during those waits.
    EventPump &events;
};
