#pragma once

#include "serial/tick_source.h"

#include <chrono>
#include <thread>

/// Real time run faster by a factor, so that the program's own waits (the pauses between
/// keys, the receive allowances) shrink as the simulator's do under --speed.
class ScaledTickSource : public TickSource
{
  public:
    explicit ScaledTickSource(double factor) : m_factor(factor) {}

    uint32_t now() const override
    {
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - m_start;
        return static_cast<uint32_t>(static_cast<uint64_t>(elapsed.count() * m_factor));
    }

    void sleep(uint32_t ms) override
    {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms / m_factor));
    }

  private:
    double m_factor;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
