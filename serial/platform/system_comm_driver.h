#pragma once

#include <memory>

class CommDriver;
class TickSource;

/// The driver of the serial devices of the system this program was built for.
std::shared_ptr<CommDriver> systemCommDriver(std::shared_ptr<TickSource> ticks);
