#include "serial/system_tick_source.h"

#include <chrono>
#include <thread>

uint32_t SystemTickSource::now() const
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemTickSource::sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::shared_ptr<TickSource> SystemTickSource::instance()
{
    static const auto source = std::make_shared<SystemTickSource>();
    return source;
}
