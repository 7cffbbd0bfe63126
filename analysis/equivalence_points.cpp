#include "analysis/equivalence_points.h"

#include "analysis/table_number.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Point
{
    double volume;
    double signal;
    std::optional<double> derivative;
};

// |dS/dV| over the increment from point i to point i + 1, placed at the increment's middle.
struct Slope
{
    double volume;
    double size;
};

// Sorted by volume; points of one volume become one with their mean signal. The printed
// derivatives stay only when the table already ran that way, as they belong to its increments.
std::vector<Point> ascendingPoints(const QList<TitrationSample> &samples)
{
    std::vector<Point> points;
    for (const TitrationSample &sample : samples)
        points.push_back({sample.volume, sample.signal, sample.derivative});
    const bool printedOrder = std::adjacent_find(points.begin(), points.end(), [](const Point &a, const Point &b) {
                                  return a.volume >= b.volume;
                              }) == points.end();
    if (printedOrder)
        return points;
    std::stable_sort(points.begin(), points.end(), [](const Point &a, const Point &b) { return a.volume < b.volume; });
    std::vector<Point> merged;
    for (std::size_t first = 0; first < points.size();) {
        std::size_t last = first;
        double sum = 0.0;
        for (; last < points.size() && points[last].volume == points[first].volume; ++last)
            sum += points[last].signal;
        merged.push_back({points[first].volume, sum / double(last - first), std::nullopt});
        first = last;
    }
    return merged;
}

std::vector<Slope> slopes(const std::vector<Point> &points)
{
    std::vector<Slope> result;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Point &before = points[i - 1];
        const Point &after = points[i];
        const double derivative =
            after.derivative.value_or((after.signal - before.signal) / (after.volume - before.volume));
        result.push_back({(before.volume + after.volume) / 2.0, std::abs(derivative)});
    }
    return result;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// A typical step of the signal from one point to the next, and never below the smallest step
// the table shows, so that a table printed with few decimals has no step of zero.
double typicalStep(const std::vector<Point> &points)
{
    std::vector<double> steps;
    double smallest = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double step = std::abs(points[i].signal - points[i - 1].signal);
        steps.push_back(step);
        if (step > 0.0 && (smallest == 0.0 || step < smallest))
            smallest = step;
    }
    return std::max(median(steps), smallest);
}

// Lowest slope on each side of slope k before the curve rises above it again.
std::pair<std::size_t, std::size_t> bases(const std::vector<Slope> &slope, std::size_t k)
{
    std::size_t left = k;
    for (std::size_t i = k; i-- > 0 && slope[i].size <= slope[k].size;)
        if (slope[i].size < slope[left].size)
            left = i;
    std::size_t right = k;
    for (std::size_t i = k + 1; i < slope.size() && slope[i].size <= slope[k].size; ++i)
        if (slope[i].size < slope[right].size)
            right = i;
    return {left, right};
}

// The signal change across the part of the peak that stands above half its height.
double jumpAcross(const std::vector<Point> &points, const std::vector<Slope> &slope, std::size_t k)
{
    const double half = slope[k].size / 2.0;
    std::size_t left = k;
    while (left > 0 && slope[left - 1].size >= half)
        --left;
    std::size_t right = k;
    while (right + 1 < slope.size() && slope[right + 1].size >= half)
        ++right;
    return std::abs(points[right + 1].signal - points[left].signal);
}

double parabolaPeak(const Slope &a, const Slope &b, const Slope &c)
{
    const double denominator = (a.volume - b.volume) * (a.volume - c.volume) * (b.volume - c.volume);
    if (denominator == 0.0)
        return b.volume;
    const double curvature =
        (c.volume * (b.size - a.size) + b.volume * (a.size - c.size) + a.volume * (c.size - b.size)) / denominator;
    const double linear = (c.volume * c.volume * (a.size - b.size) + b.volume * b.volume * (c.size - a.size) +
                           a.volume * a.volume * (b.size - c.size)) /
                          denominator;
    if (curvature >= 0.0)
        return b.volume;
    return std::clamp(-linear / (2.0 * curvature), a.volume, c.volume);
}

double signalAt(const std::vector<Point> &points, double volume)
{
    const auto after = std::lower_bound(points.begin(), points.end(), volume,
                                        [](const Point &point, double v) { return point.volume < v; });
    if (after == points.begin())
        return after->signal;
    if (after == points.end())
        return points.back().signal;
    const Point &before = *(after - 1);
    return before.signal + (volume - before.volume) / (after->volume - before.volume) * (after->signal - before.signal);
}

} // namespace

QList<TitrationSample> titrationSamples(const QList<QStringList> &rows)
{
    QList<TitrationSample> samples;
    for (const QStringList &row : rows) {
        const std::optional<double> volume = tableNumber(row.value(0));
        const std::optional<double> signal = tableNumber(row.value(2));
        if (volume && signal)
            samples.append({*volume, *signal, tableNumber(row.value(4))});
    }
    return samples;
}

QString EquivalenceSettings::text() const
{
    QString text = QStringLiteral("prominence %1 % of the largest slope, jump %2 typical steps")
                       .arg(100.0 * minProminenceShare, 0, 'g', 4)
                       .arg(minStepFactor, 0, 'g', 4);
    const auto volume = [](double value) { return QString::number(value, 'g', 6); };
    if (fromVolume && toVolume)
        text += QStringLiteral(", %1 to %2 ml").arg(volume(*fromVolume), volume(*toVolume));
    else if (fromVolume)
        text += QStringLiteral(", from %1 ml").arg(volume(*fromVolume));
    else if (toVolume)
        text += QStringLiteral(", up to %1 ml").arg(volume(*toVolume));
    return text;
}

QList<EquivalencePoint> findEquivalencePoints(const QList<TitrationSample> &samples,
                                              const EquivalenceSettings &settings)
{
    const std::vector<Point> points = ascendingPoints(samples);
    const std::vector<Slope> slope = slopes(points);
    if (slope.size() < 3)
        return {};
    const double largest = std::max_element(slope.begin(), slope.end(), [](const Slope &a, const Slope &b) {
                               return a.size < b.size;
                           })->size;
    const double step = typicalStep(points);
    QList<EquivalencePoint> found;
    // A maximum at either end of the table is not bracketed: the jump may go on beyond it.
    for (std::size_t k = 1; k + 1 < slope.size(); ++k) {
        if (!(slope[k].size > slope[k - 1].size && slope[k].size >= slope[k + 1].size))
            continue;
        const auto [left, right] = bases(slope, k);
        const double prominence = slope[k].size - std::max(slope[left].size, slope[right].size);
        // The signal moves, where |dS/dV| is above half the maximum, by this many typical steps.
        if (prominence < settings.minProminenceShare * largest ||
            jumpAcross(points, slope, k) < settings.minStepFactor * step)
            continue;
        const double volume = parabolaPeak(slope[k - 1], slope[k], slope[k + 1]);
        if ((settings.fromVolume && volume < *settings.fromVolume) ||
            (settings.toVolume && volume > *settings.toVolume))
            continue;
        found.append({volume, signalAt(points, volume)});
    }
    return found;
}
