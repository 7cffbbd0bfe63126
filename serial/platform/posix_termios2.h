#pragma once

#include <cstdint>

// Line speeds as plain numbers (14400, 56000, 115000 too), through the termios2 requests. They
// live in a file of their own because <asm/termbits.h> and <termios.h> cannot meet.
namespace linespeed {

/// 0 or an errno value.
int setSpeed(int fd, uint32_t baudRate);
int speed(int fd, uint32_t &baudRate);

} // namespace linespeed
