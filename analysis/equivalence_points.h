#pragma once

#include <QList>
#include <QStringList>

#include <optional>

/// One measuring point of a titration; the derivative is the one the instrument printed for the
/// increment that ends here, when it printed one.
struct TitrationSample
{
    double volume = 0.0;
    double signal = 0.0;
    std::optional<double> derivative;
};

struct EquivalencePoint
{
    double volume = 0.0;
    double signal = 0.0;
};

/// Data rows of the result table (volume, increment, signal, change, derivative as text) as
/// samples, in table order; a row without a number for volume or signal is left out.
QList<TitrationSample> titrationSamples(const QList<QStringList> &rows);

/// How a maximum of |dS/dV| is told from noise; the defaults suit the titrator's own tables.
struct EquivalenceSettings
{
    /// The maximum rises above its surroundings by this share of the largest |dS/dV|...
    double minProminenceShare = 0.1;
    /// ...and the signal moves across it by this many typical steps.
    double minStepFactor = 5.0;
    /// Points outside these volumes (ml) are not reported; empty for no limit.
    std::optional<double> fromVolume;
    std::optional<double> toVolume;

    /// "prominence 10 % of the largest slope, jump 5 typical steps, 2 to 20 ml": what a record of
    /// points found with these settings says about them.
    QString text() const;
};

/// The equivalence points of a titration, by ascending volume: the maxima of |dS/dV| that stand
/// out of the curve, each refined by a parabola through the derivative around it. Empty when the
/// curve has no clear point (flat, only noise, or a jump that is still at the table's end).
/// Samples may come in any order, unevenly spaced and with repeated volumes.
QList<EquivalencePoint> findEquivalencePoints(const QList<TitrationSample> &samples,
                                              const EquivalenceSettings &settings = {});
