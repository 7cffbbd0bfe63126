#pragma once

#include <atomic>
#include <cstdint>

/// Decides when to look for the device of a port that is closed against the user's will: one
/// whose device went away, or was not there when the port was to be opened. The serial worker
/// asks due() on its idle passes, so the device is looked for at most once every CheckIntervalMs
/// and waiting for it costs nothing in between.
class ReconnectWatcher
{
  public:
    static constexpr uint32_t CheckIntervalMs = 1000;

    /// Main thread: start or stop watching.
    void watch();
    void stop();
    bool watching() const;

    /// Worker thread: true at most once per interval while watching, the first time one interval
    /// after watching began.
    bool due(uint32_t now);
    /// Worker thread: milliseconds until the next check, at most `limit`, so an idle worker can
    /// wake up just in time for it.
    uint32_t untilDue(uint32_t now, uint32_t limit) const;

  private:
    std::atomic<bool> m_watching{false};
    // Worker only.
    bool m_armed = false;
    uint32_t m_lastCheck = 0;
};
