#pragma once

#include "tools/measuring_point.h"
#include "tools/method_codes.h"

#include <functional>
#include <optional>
#include <vector>

/// Where the titration found its result: an equivalence point, a reached endpoint or the
/// end of a fixed dose.
struct TitrationEnd
{
    double volumeMl = 0.0;
    double signal = 0.0;
};

/// Doses titrant the way the method says (predosage, increments that shrink where the
/// signal moves fast, stop criterion of the titration nature) and records each point.
class TitrationRun
{
  public:
    using SignalAt = std::function<double(double volumeMl)>;

    TitrationRun(const MethodCodes &method, double titrantMolPerL, SignalAt signalAt);

    const std::vector<MeasuringPoint> &points() const { return m_points; }
    /// Empty when no equivalence point rose above the barrier or the endpoint was not reached.
    std::optional<TitrationEnd> end() const;

  private:
    void dose();
    void measure(double volumeMl);
    double nextIncrement() const;
    double lastVolume() const;
    bool finished() const;
    bool endpointReached() const;
    std::size_t steepestPoint() const;
    bool pastEquivalence() const;
    std::optional<TitrationEnd> equivalencePoint() const;
    double signalAt(double volumeMl) const;

    MethodCodes m_method;
    SignalAt m_signalAt;
    double m_unitPerMv;
    double m_targetChange;
    double m_barrier;
    double m_doseMl;
    std::vector<MeasuringPoint> m_points;
};
