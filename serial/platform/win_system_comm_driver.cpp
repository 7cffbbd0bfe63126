#include "serial/platform/system_comm_driver.h"
#include "serial/platform/win_comm_driver.h"

// The system times the overlapped operations itself; the ticks are not needed here.
std::shared_ptr<CommDriver> systemCommDriver(std::shared_ptr<TickSource>)
{
    return std::make_shared<WinCommDriver>();
}
