#include "tools/acid_base_model.h"
#include "tools/method_codes.h"
#include "tools/titration_run.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double nernstMv = 59.16;

TitrationRun titratePh(const MethodCodes &method, const AcidBaseModel &sample)
{
    return TitrationRun(method, 0.1, [&](double volume) { return sample.pH(volume); });
}

MethodCodes methodWith(int group, const MethodCodes::Group &digits)
{
    MethodCodes method;
    method.setGroup(group, digits);
    return method;
}

} // namespace

TEST(AcidBaseModel, StartsAcidicIsBufferedAtHalfAndBasicPastTheEquivalence)
{
    const AcidBaseModel sample(1.0, 4.76, 50.0, 0.1);
    EXPECT_DOUBLE_EQ(sample.equivalenceVolumeMl(), 10.0);
    EXPECT_NEAR(sample.pH(0.0), 3.23, 0.02); // (pKa - log c) / 2
    EXPECT_NEAR(sample.pH(5.0), 4.76, 0.02);
    EXPECT_NEAR(sample.pH(10.0), 8.6, 0.2);
    EXPECT_GT(sample.pH(12.0), 11.0);
}

class FirstEquivalencePoint : public ::testing::TestWithParam<double>
{
};

TEST_P(FirstEquivalencePoint, IsFoundWhereTheChemistryPutsIt)
{
    const AcidBaseModel sample(GetParam(), 5.41, 50.0, 0.1);
    const TitrationRun run = titratePh(MethodCodes(), sample);
    ASSERT_TRUE(run.end());
    EXPECT_NEAR(run.end()->volumeMl, sample.equivalenceVolumeMl(), 0.02);
    EXPECT_NEAR(run.end()->signal, sample.pH(sample.equivalenceVolumeMl()), 0.5);
    // It doses a little past the jump, and stops instead of emptying the buret.
    EXPECT_GT(run.points().back().volumeMl, sample.equivalenceVolumeMl() + 1.5);
    EXPECT_LT(run.points().back().volumeMl, sample.equivalenceVolumeMl() + 2.5);
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, FirstEquivalencePoint, ::testing::Values(0.3, 0.98, 1.5));

TEST(TitrationRun, IncrementsShrinkWhereTheSignalJumps)
{
    const AcidBaseModel sample(0.98, 5.41, 50.0, 0.1);
    const TitrationRun run = titratePh(MethodCodes(), sample);
    const std::vector<MeasuringPoint> &points = run.points();
    double largestNearJump = 0.0;
    double largestFarAway = 0.0;
    for (std::size_t index = 1; index < points.size(); ++index) {
        const MeasuringPoint &point = points[index];
        EXPECT_NEAR(point.volumeMl - points[index - 1].volumeMl, point.incrementMl, 1e-12);
        EXPECT_NEAR(point.signal - points[index - 1].signal, point.change, 1e-12);
        EXPECT_NEAR(point.change / point.incrementMl, point.derivative, 1e-9);
        EXPECT_LE(point.incrementMl, MethodCodes().maxIncrementMl() + 1e-12);
        double &largest = std::abs(point.volumeMl - 9.8) < 0.1 ? largestNearJump : largestFarAway;
        largest = std::max(largest, point.incrementMl);
    }
    EXPECT_LT(largestNearJump * 5, largestFarAway);
    EXPECT_GT(points.back().seconds, 0.0);
}

TEST(TitrationRun, MillivoltSignalFallsAndStillFindsTheJump)
{
    const AcidBaseModel sample(0.98, 5.41, 50.0, 0.1);
    const TitrationRun run(MethodCodes::predefined(37), 0.1,
                           [&](double volume) { return nernstMv * (7.0 - sample.pH(volume)); });
    ASSERT_TRUE(run.end());
    EXPECT_NEAR(run.end()->volumeMl, sample.equivalenceVolumeMl(), 0.02);
    EXPECT_LT(run.points().back().signal, run.points().front().signal);
}

TEST(TitrationRun, EndpointTitrationStopsAtTheEndpoint)
{
    const AcidBaseModel sample(0.98, 5.41, 50.0, 0.1);
    const TitrationRun run = titratePh(MethodCodes::predefined(39), sample); // endpoint pH 8.2
    ASSERT_TRUE(run.end());
    EXPECT_GE(run.points().back().signal, 8.2);
    EXPECT_LT(run.points()[run.points().size() - 2].signal, 8.2);
    EXPECT_NEAR(run.end()->volumeMl, 9.8, 0.05);
}

TEST(TitrationRun, EndpointOutOfReachEndsAtTheMaximalVolume)
{
    MethodCodes method = methodWith(0, {0, 0, 1, 4});
    method.setGroup(4, {0, 1, 3, 0}); // pH 13.0
    method.setGroup(3, {1, 0, 1, 5}); // at most 15 mL
    const TitrationRun run = titratePh(method, AcidBaseModel(0.5, 5.41, 50.0, 0.1));
    EXPECT_FALSE(run.end());
    EXPECT_DOUBLE_EQ(run.points().back().volumeMl, 15.0);
}

TEST(TitrationRun, DoseTitrationAddsTheDose)
{
    const TitrationRun run = titratePh(MethodCodes::predefined(40), AcidBaseModel(0.98, 5.41, 50.0, 0.1));
    ASSERT_TRUE(run.end());
    EXPECT_DOUBLE_EQ(run.end()->volumeMl, 5.0); // 0.5 mmol of 0.1 mol/L
}

TEST(TitrationRun, PredosageComesInOneStep)
{
    const TitrationRun run = titratePh(methodWith(2, {0, 0, 5, 0}), AcidBaseModel(0.98, 5.41, 50.0, 0.1));
    ASSERT_GE(run.points().size(), 2u);
    EXPECT_DOUBLE_EQ(run.points()[1].volumeMl, 5.0);
}

TEST(TitrationRun, JumpBelowTheBarrierIsNoEquivalencePoint)
{
    const TitrationRun run = titratePh(methodWith(4, {9, 9, 9, 9}), AcidBaseModel(0.98, 5.41, 50.0, 0.1));
    EXPECT_FALSE(run.end());
    EXPECT_DOUBLE_EQ(run.points().back().volumeMl, 20.0);
}

TEST(TitrationRun, FineIncrementsToTheMaximalVolumeGiveALongTable)
{
    const TitrationRun run = titratePh(MethodCodes::predefined(41), AcidBaseModel(0.98, 5.41, 50.0, 0.1));
    EXPECT_GE(run.points().size(), 200u);
    EXPECT_DOUBLE_EQ(run.points().back().volumeMl, 20.0);
}
