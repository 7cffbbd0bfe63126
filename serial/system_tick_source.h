#pragma once

#include "serial/tick_source.h"

#include <memory>

/// Real time: milliseconds of the monotonic clock, truncated to 32 bits.
class SystemTickSource : public TickSource
{
  public:
    uint32_t now() const override;
    void sleep(uint32_t ms) override;

    /// One stateless instance serves the whole program.
    static std::shared_ptr<TickSource> instance();
};
