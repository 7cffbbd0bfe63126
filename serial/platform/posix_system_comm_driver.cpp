#include "serial/platform/posix_comm_driver.h"
#include "serial/platform/system_comm_driver.h"

#include <utility>

std::shared_ptr<CommDriver> systemCommDriver(std::shared_ptr<TickSource> ticks)
{
    return std::make_shared<PosixCommDriver>(std::move(ticks));
}
