#include "serial/reconnect_watcher.h"

#include <algorithm>

void ReconnectWatcher::watch()
{
    m_watching = true;
}

void ReconnectWatcher::stop()
{
    m_watching = false;
}

bool ReconnectWatcher::watching() const
{
    return m_watching;
}

bool ReconnectWatcher::due(uint32_t now)
{
    if (!m_watching) {
        m_armed = false;
        return false;
    }
    if (!m_armed) {
        m_armed = true;
        m_lastCheck = now;
        return false;
    }
    if (now - m_lastCheck < CheckIntervalMs)
        return false;
    m_lastCheck = now;
    return true;
}

uint32_t ReconnectWatcher::untilDue(uint32_t now, uint32_t limit) const
{
    if (!m_watching || !m_armed)
        return limit;
    const uint32_t passed = now - m_lastCheck;
    return passed >= CheckIntervalMs ? 0 : std::min(limit, CheckIntervalMs - passed);
}
