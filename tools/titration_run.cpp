#include "tools/titration_run.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr double nernstMv = 59.16;
constexpr double volumeTolerance = 1e-9;
constexpr int maxPoints = 1000;
constexpr int pointsAfterPeak = 4;
// After the jump the instrument doses on this many largest increments, to show the plateau.
constexpr double incrementsAfterPeak = 4.0;
// Equilibration range in seconds of each time control digit: shortest, longest.
constexpr std::array<std::pair<double, double>, 10> equilibration{
    {{3, 20}, {6, 60}, {12, 120}, {8, 24}, {3, 90}, {3, 3}, {10, 10}, {20, 20}, {30, 30}, {90, 90}}};

enum Nature { FirstEquivalence = 1, SteepestJump, AllEquivalences, PositiveEndpoint, NegativeEndpoint, Dose };

double parabolaPeak(double x0, double y0, double x1, double y1, double x2, double y2)
{
    const double denominator = (x0 - x1) * (x0 - x2) * (x1 - x2);
    if (denominator == 0.0)
        return x1;
    const double a = (x2 * (y1 - y0) + x1 * (y0 - y2) + x0 * (y2 - y1)) / denominator;
    const double b = (x2 * x2 * (y0 - y1) + x1 * x1 * (y2 - y0) + x0 * x0 * (y1 - y2)) / denominator;
    if (a >= 0.0)
        return x1;
    return std::clamp(-b / (2.0 * a), x0, x2);
}

double midpoint(const MeasuringPoint &point)
{
    return point.volumeMl - point.incrementMl / 2.0;
}

} // namespace

TitrationRun::TitrationRun(const MethodCodes &method, double titrantMolPerL, SignalAt signalAt)
    : m_method(method), m_signalAt(std::move(signalAt)), m_unitPerMv(method.measuresPh() ? 1.0 / nernstMv : 1.0),
      m_targetChange(method.targetChangeMv() * m_unitPerMv),
      m_barrier(method.groupFiveValue() > 0.0 ? method.groupFiveValue() : 120.0 * m_unitPerMv),
      m_doseMl(titrantMolPerL > 0.0 ? method.groupFiveValue() / titrantMolPerL : 0.0)
{
    measure(0.0);
    if (method.predosageMl() > 0.0 && !finished())
        measure(std::min(method.predosageMl(), lastVolume()));
    while (!finished())
        dose();
}

std::optional<TitrationEnd> TitrationRun::end() const
{
    switch (m_method.titrationNature()) {
    case PositiveEndpoint:
    case NegativeEndpoint:
        if (!endpointReached())
            return std::nullopt;
        return TitrationEnd{m_points.back().volumeMl, m_points.back().signal};
    case Dose:
        return TitrationEnd{m_points.back().volumeMl, m_points.back().signal};
    default:
        return equivalencePoint();
    }
}

void TitrationRun::dose()
{
    measure(std::min(m_points.back().volumeMl + nextIncrement(), lastVolume()));
}

void TitrationRun::measure(double volumeMl)
{
    MeasuringPoint point;
    point.volumeMl = volumeMl;
    point.signal = m_signalAt(volumeMl);
    if (!m_points.empty()) {
        point.incrementMl = volumeMl - m_points.back().volumeMl;
        point.change = point.signal - m_points.back().signal;
        point.derivative = point.incrementMl > 0.0 ? point.change / point.incrementMl : 0.0;
    }
    const auto [shortest, longest] = equilibration.at(std::clamp(m_method.timeControl(), 0, 9));
    point.seconds = shortest + (longest - shortest) * std::min(1.0, std::abs(point.change) / (4.0 * m_targetChange));
    m_points.push_back(point);
}

double TitrationRun::nextIncrement() const
{
    const MeasuringPoint &last = m_points.back();
    double increment = m_method.maxIncrementMl();
    if (m_points.size() > 1 && last.derivative != 0.0)
        increment = m_targetChange / std::abs(last.derivative);
    increment = std::clamp(increment, m_method.minIncrementMl(), m_method.maxIncrementMl());
    const int nature = m_method.titrationNature();
    if ((nature == PositiveEndpoint || nature == NegativeEndpoint) && last.derivative != 0.0) {
        // Creep up on the endpoint instead of jumping over it.
        const double toEndpoint = (m_method.groupFiveValue() - last.signal) / last.derivative;
        if (toEndpoint > 0.0)
            increment = std::min(increment, std::max(m_method.minIncrementMl(), toEndpoint));
    }
    return increment;
}

double TitrationRun::lastVolume() const
{
    return m_method.titrationNature() == Dose ? m_doseMl : m_method.maxVolumeMl();
}

bool TitrationRun::finished() const
{
    if (m_points.size() >= maxPoints || m_points.back().volumeMl >= lastVolume() - volumeTolerance)
        return true;
    switch (m_method.titrationNature()) {
    case SteepestJump:
    case AllEquivalences:
    case Dose:
        return false;
    case PositiveEndpoint:
    case NegativeEndpoint:
        return endpointReached();
    default:
        return pastEquivalence();
    }
}

bool TitrationRun::endpointReached() const
{
    const double signal = m_points.back().signal;
    const double endpoint = m_method.groupFiveValue();
    return m_method.titrationNature() == PositiveEndpoint ? signal >= endpoint : signal <= endpoint;
}

std::size_t TitrationRun::steepestPoint() const
{
    std::size_t steepest = 0;
    for (std::size_t index = 1; index < m_points.size(); ++index)
        if (std::abs(m_points[index].derivative) > std::abs(m_points[steepest].derivative))
            steepest = index;
    return steepest;
}

bool TitrationRun::pastEquivalence() const
{
    const std::size_t steepest = steepestPoint();
    const double peak = std::abs(m_points[steepest].derivative);
    return peak >= m_barrier && std::abs(m_points.back().derivative) < 0.25 * peak &&
           m_points.size() - 1 - steepest >= pointsAfterPeak &&
           m_points.back().volumeMl - m_points[steepest].volumeMl >= incrementsAfterPeak * m_method.maxIncrementMl();
}

std::optional<TitrationEnd> TitrationRun::equivalencePoint() const
{
    const std::size_t steepest = steepestPoint();
    if (steepest == 0 || std::abs(m_points[steepest].derivative) < m_barrier)
        return std::nullopt;
    double volume = midpoint(m_points[steepest]);
    if (steepest >= 2 && steepest + 1 < m_points.size()) {
        const MeasuringPoint &before = m_points[steepest - 1];
        const MeasuringPoint &peak = m_points[steepest];
        const MeasuringPoint &after = m_points[steepest + 1];
        volume = parabolaPeak(midpoint(before), std::abs(before.derivative), midpoint(peak), std::abs(peak.derivative),
                              midpoint(after), std::abs(after.derivative));
    }
    return TitrationEnd{volume, signalAt(volume)};
}

double TitrationRun::signalAt(double volumeMl) const
{
    auto after = std::lower_bound(m_points.begin(), m_points.end(), volumeMl,
                                  [](const MeasuringPoint &point, double volume) { return point.volumeMl < volume; });
    if (after == m_points.begin())
        return after->signal;
    if (after == m_points.end())
        return m_points.back().signal;
    const MeasuringPoint &before = *(after - 1);
    const double share = (volumeMl - before.volumeMl) / (after->volumeMl - before.volumeMl);
    return before.signal + share * (after->signal - before.signal);
}
