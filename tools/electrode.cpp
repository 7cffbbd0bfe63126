#include "tools/electrode.h"

namespace {

constexpr double nernstMv = 59.16; // per pH unit at 25 °C
constexpr double trueSlope = 0.987;
constexpr double trueZeroPh = 7.04;
constexpr double noiseAmplitudeMv = 0.15;

} // namespace

double Electrode::potentialMv(double pH)
{
    return trueSlope * nernstMv * (trueZeroPh - pH) + noiseMv();
}

double Electrode::displayedPh(double potentialMv) const
{
    return m_zeroPh - potentialMv / (m_slope * nernstMv);
}

bool Electrode::calibrate(double mvAtPh4, double mvAtPh7)
{
    const double slope = (mvAtPh4 - mvAtPh7) / (3.0 * nernstMv);
    if (slope < 0.85 || slope > 1.05)
        return false;
    m_slope = slope;
    m_zeroPh = 7.0 + mvAtPh7 / (slope * nernstMv);
    return true;
}

double Electrode::noiseMv()
{
    m_noiseState = m_noiseState * 1664525u + 1013904223u;
    return ((m_noiseState >> 8) / double(1u << 24) - 0.5) * 2.0 * noiseAmplitudeMv;
}
