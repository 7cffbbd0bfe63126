#include "analysis/equivalence_points.h"
#include "analysis/result_text.h"
#include "common/cp1252.h"
#include "data/data_block.h"
#include "data/record_text.h"
#include "tools/acid_base_model.h"
#include "tools/instrument.h"
#include "tools/measuring_table.h"
#include "tools/method_codes.h"
#include "tools/titration_run.h"

#include <QDate>
#include <QLocale>

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

// The simulator's sample: potassium hydrogen phthalate in 50 mL water, titrated with 0.1 mol/L base.
constexpr double molarMass = 204.22;
constexpr double purity = 0.998;
constexpr double pKa = 5.41;
constexpr double waterMl = 50.0;
constexpr double baseMolPerL = 0.1;

AcidBaseModel sampleOf(double weightG)
{
    return AcidBaseModel(weightG * 1000.0 * purity / molarMass, pKa, waterMl, baseMolPerL);
}

/// A measuring table as the program reads it from the terminal: the data block after the header,
/// split into rows of text.
QList<TitrationSample> samplesFromText(const QByteArray &terminalText, int record = 1)
{
    const std::optional<QByteArray> block = recordData(terminalText, record);
    EXPECT_TRUE(block);
    QList<QStringList> rows;
    for (const DataRow &row : splitDataBlock(cp1252::decode(block.value_or(QByteArray()))))
        rows.append(QStringList(row.begin(), row.end()));
    return titrationSamples(rows);
}

/// Everything the simulated titrator prints for one run of a sample of the given weight.
QByteArray simulatedRun(double weightG)
{
    Instrument instrument(QDate(2026, 12, 7));
    QByteArray text;
    for (const QByteArray &keys : {QByteArray("O"), QByteArray::number(weightG, 'f', 4), QByteArray("O"),
                                   QByteArray("1"), QByteArray("O"), QByteArray("O"), QByteArray("\r")}) {
        instrument.receive(keys);
        while (instrument.hasOutput())
            text += instrument.takeOutput().text;
    }
    return text;
}

/// The increment of the table at the given volume.
double incrementAt(const QList<TitrationSample> &samples, double volume)
{
    for (qsizetype i = 1; i < samples.size(); ++i)
        if (samples[i].volume >= volume)
            return samples[i].volume - samples[i - 1].volume;
    return 0.0;
}

void expectAgreement(const QList<TitrationSample> &samples, double trueVolume)
{
    const QList<EquivalencePoint> points = findEquivalencePoints(samples);
    ASSERT_EQ(points.size(), 1);
    const double allowed = std::max(0.005 * trueVolume, incrementAt(samples, points[0].volume));
    EXPECT_NEAR(points[0].volume, trueVolume, allowed);
}

class SimulatedSample : public ::testing::TestWithParam<double>
{
};

TEST_P(SimulatedSample, EquivalencePointAgreesWithTheModel)
{
    const double weight = GetParam();
    expectAgreement(samplesFromText(simulatedRun(weight)), sampleOf(weight).equivalenceVolumeMl());

    // The same chemistry measured in mV, with a falling signal.
    const AcidBaseModel sample = sampleOf(weight);
    const TitrationRun run(MethodCodes::predefined(37), baseMolPerL,
                           [&](double volume) { return 59.16 * (7.0 - sample.pH(volume)); });
    const MeasuringTable table(false);
    QByteArray text = table.header();
    for (const MeasuringPoint &point : run.points())
        text += table.line(point);
    expectAgreement(samplesFromText(text), sample.equivalenceVolumeMl());
}

INSTANTIATE_TEST_SUITE_P(Weights, SimulatedSample, ::testing::Values(0.05, 0.1, 0.2, 0.3, 0.38),
                         [](const auto &info) { return "mg" + std::to_string(int(std::lround(info.param * 1000))); });

/// A table of a curve made of steps, one row per volume.
QList<TitrationSample> curve(const std::vector<double> &volumes, const std::function<double(double)> &signal)
{
    QList<TitrationSample> samples;
    for (double volume : volumes)
        samples.append({volume, signal(volume), std::nullopt});
    return samples;
}

std::vector<double> evenly(double from, double to, double step)
{
    std::vector<double> volumes;
    for (double volume = from; volume <= to + 1e-9; volume += step)
        volumes.push_back(volume);
    return volumes;
}

double step(double volume, double at, double height, double width = 0.15)
{
    return height / (1.0 + std::exp(-(volume - at) / width));
}

TEST(EquivalencePoints, HandMadeCurves)
{
    const std::vector<double> volumes = evenly(0.0, 20.0, 0.1);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-0.01, 0.01);

    const QList<EquivalencePoint> rising =
        findEquivalencePoints(curve(volumes, [](double v) { return 4.0 + 0.05 * v + step(v, 12.22, 5.0); }));
    ASSERT_EQ(rising.size(), 1);
    EXPECT_NEAR(rising[0].volume, 12.22, 0.02);
    EXPECT_NEAR(rising[0].signal, 4.0 + 0.05 * 12.22 + 2.5, 0.1);

    const QList<EquivalencePoint> falling =
        findEquivalencePoints(curve(volumes, [](double v) { return 250.0 - step(v, 7.5, 400.0); }));
    ASSERT_EQ(falling.size(), 1);
    EXPECT_NEAR(falling[0].volume, 7.5, 0.02);
    EXPECT_NEAR(falling[0].signal, 50.0, 5.0);

    const QList<EquivalencePoint> two = findEquivalencePoints(
        curve(volumes, [](double v) { return 2.0 + step(v, 5.0, 3.0) + step(v, 14.0, 1.5, 0.3); }));
    ASSERT_EQ(two.size(), 2);
    EXPECT_NEAR(two[0].volume, 5.0, 0.02);
    EXPECT_NEAR(two[1].volume, 14.0, 0.05);

    const QList<EquivalencePoint> noisy =
        findEquivalencePoints(curve(volumes, [&](double v) { return 4.0 + step(v, 9.0, 4.0, 0.3) + noise(random); }));
    ASSERT_EQ(noisy.size(), 1);
    EXPECT_NEAR(noisy[0].volume, 9.0, 0.1);

    EXPECT_TRUE(findEquivalencePoints(curve(volumes, [](double) { return 7.0; })).isEmpty());
    EXPECT_TRUE(
        findEquivalencePoints(curve(volumes, [&](double v) { return 7.0 + 0.01 * v + noise(random); })).isEmpty());
    EXPECT_TRUE(findEquivalencePoints(curve(volumes, [](double v) {
                    return std::round(700 + 0.3 * std::sin(v * 7)) / 100;
                })).isEmpty());
    // A jump still under way at the table's end is not a point yet.
    EXPECT_TRUE(
        findEquivalencePoints(curve(evenly(0.0, 12.2, 0.1), [](double v) { return step(v, 12.22, 5.0); })).isEmpty());
    EXPECT_TRUE(findEquivalencePoints({}).isEmpty());
}

TEST(EquivalencePoints, UnevenIncrementsRepeatedVolumesAndAnyOrder)
{
    std::vector<double> volumes = evenly(0.0, 10.0, 0.5);
    for (double v = 10.02; v < 10.6; v += 0.04)
        volumes.push_back(v);
    for (double v = 11.0; v <= 16.0; v += 1.0)
        volumes.push_back(v);
    const auto signal = [](double v) { return 3.0 + step(v, 10.31, 6.0, 0.05); };
    const QList<EquivalencePoint> uneven = findEquivalencePoints(curve(volumes, signal));
    ASSERT_EQ(uneven.size(), 1);
    EXPECT_NEAR(uneven[0].volume, 10.31, 0.04);

    // Repeated and shuffled rows: the table's own derivatives no longer fit and are recomputed.
    QList<TitrationSample> repeated = curve(volumes, signal);
    repeated.append(repeated.mid(5, 10));
    std::mt19937 random(3);
    std::shuffle(repeated.begin(), repeated.end(), random);
    const QList<EquivalencePoint> shuffled = findEquivalencePoints(repeated);
    ASSERT_EQ(shuffled.size(), 1);
    EXPECT_NEAR(shuffled[0].volume, uneven[0].volume, 1e-9);
}

TEST(EquivalencePoints, TableRowsAndResultText)
{
    const QList<TitrationSample> samples = titrationSamples(
        {{"0.000", "0.000", "3.45", "0.00", "0.000"}, {"1.0", "", "x", "", ""}, {"2.0", " ", "4.5", " ", " "}});
    ASSERT_EQ(samples.size(), 2);
    EXPECT_EQ(samples[1].volume, 2.0);
    EXPECT_EQ(samples[0].derivative, 0.0);
    EXPECT_FALSE(samples[1].derivative);
    EXPECT_EQ(guessSignalUnit(samples), SignalUnit::pH);
    EXPECT_EQ(guessSignalUnit({{0, -120.0, {}}}), SignalUnit::mV);

    const QLocale c(QLocale::C);
    EXPECT_EQ(resultLine({{12.2249, 8.781}}, SignalUnit::pH, c), "EQP 1: 12.22 ml, pH 8.78");
    EXPECT_EQ(resultLine({{1234.5, -120.44}, {2.0, 3.0}}, SignalUnit::mV, QLocale(QLocale::German)),
              "EQP 1: 1234,50 ml, -120,4 mV; EQP 2: 2,00 ml, 3,0 mV");
    EXPECT_EQ(resultLine({}, SignalUnit::pH, c), "No clear equivalence point");
}

// What a re-evaluation may ask for: a smaller jump dropped as noise, or only the points in a range.
TEST(EquivalencePoints, SettingsOfAReevaluation)
{
    const QList<TitrationSample> two =
        curve(evenly(0.0, 20.0, 0.1), [](double v) { return 2.0 + step(v, 5.0, 3.0) + step(v, 14.0, 1.5, 0.3); });
    EquivalenceSettings strict; // the second jump's slope is a quarter of the first's
    strict.minProminenceShare = 0.3;
    const QList<EquivalencePoint> first = findEquivalencePoints(two, strict);
    ASSERT_EQ(first.size(), 1);
    EXPECT_NEAR(first[0].volume, 5.0, 0.02);

    EquivalenceSettings later;
    later.fromVolume = 10.0;
    const QList<EquivalencePoint> second = findEquivalencePoints(two, later);
    ASSERT_EQ(second.size(), 1);
    EXPECT_NEAR(second[0].volume, 14.0, 0.05);
    EXPECT_EQ(later.text(), "prominence 10 % of the largest slope, jump 5 typical steps, from 10 ml");
    later.toVolume = 12.5;
    EXPECT_TRUE(findEquivalencePoints(two, later).isEmpty());
}

} // namespace
