#include "tools/line_pacer.h"

#include <algorithm>
#include <cmath>

namespace {

// A silent line saves up at most this much time's worth of bytes.
constexpr double burstMs = 20.0;

} // namespace

LinePacer::LinePacer(double bytesPerSecond, Clock::time_point start)
    : m_bytesPerMs(bytesPerSecond / 1000.0), m_last(start)
{
}

qsizetype LinePacer::allowance(Clock::time_point now)
{
    const double elapsedMs = std::chrono::duration<double, std::milli>(now - m_last).count();
    m_last = now;
    m_credit = std::min<double>(chunk(), m_credit + elapsedMs * m_bytesPerMs);
    return static_cast<qsizetype>(std::floor(m_credit));
}

qsizetype LinePacer::chunk() const
{
    return std::max<qsizetype>(1, static_cast<qsizetype>(m_bytesPerMs * burstMs));
}

int LinePacer::msUntil(qsizetype bytes) const
{
    const double missing = bytes - m_credit;
    return std::max(1, static_cast<int>(std::ceil(missing / m_bytesPerMs)));
}
