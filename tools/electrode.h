#pragma once

#include <cstdint>

/// A glass pH electrode with a slightly imperfect slope and zero point, a little noise,
/// and the two-buffer calibration the instrument keeps for showing pH.
class Electrode
{
  public:
    double potentialMv(double pH);
    double displayedPh(double potentialMv) const;
    /// Takes the calibration unless the slope lies outside what a working electrode gives.
    bool calibrate(double mvAtPh4, double mvAtPh7);

    double slopePercent() const { return m_slope * 100.0; }
    double zeroPh() const { return m_zeroPh; }

  private:
    double noiseMv();

    double m_slope = 1.0;
    double m_zeroPh = 7.0;
    std::uint32_t m_noiseState = 12345u;
};
