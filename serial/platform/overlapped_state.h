#pragma once

#include "serial/platform/comm_types.h"

#include <cstdint>

/// The three overlapped events of a device and its comm event wait, as the device layer keeps
/// them: events that occurred are recorded against the mask, and a pending wait completes, and
/// signals the Status event, as soon as one of them is in the mask. Not thread-safe by itself;
/// the owning device guards it.
class OverlappedState
{
  public:
    /// Forgets recorded events; a pending wait ends with an empty mask.
    void setMask(uint32_t mask);
    uint32_t mask() const { return m_mask; }

    void record(uint32_t events);

    /// NoError with the events already recorded, ErrorIoPending (mask is filled in by take()
    /// later, so it must stay valid), or ErrorInvalidParameter while a wait is pending.
    uint32_t startWait(uint32_t &mask);

    /// The first signalled event among ops (opBit mask), Read before Status. Taking the Status
    /// event ends the pending wait; a wait signalled from outside ends as if it saw no event.
    bool take(uint32_t ops, comm::Op &signalled);
    bool isSignalled(uint32_t ops) const;

    void signal(comm::Op op);
    void reset(comm::Op op);

  private:
    bool &flag(comm::Op op) { return m_signalled[static_cast<int>(op)]; }

    uint32_t m_mask = 0;
    uint32_t m_events = 0;
    bool m_signalled[3] = {false, false, false};
    bool m_pending = false;
    bool m_done = false;
    uint32_t m_result = 0;
    uint32_t *m_maskOut = nullptr;
};
