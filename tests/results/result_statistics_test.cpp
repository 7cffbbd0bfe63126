#include "results/journal/result_statistics.h"

#include <gtest/gtest.h>

TEST(ResultStatistics, GivesTheSampleSpreadOfRepeatedResults)
{
    // By hand: mean 10.2; deviations -0.2, 0, 0.2; s = sqrt(0.08 / 2) = 0.2; RSD = 0.2 / 10.2 = 1.9608 %.
    const ResultStatistics three = resultStatistics({10.0, 10.2, 10.4});
    EXPECT_EQ(three.n, 3);
    EXPECT_NEAR(three.mean, 10.2, 1e-12);
    EXPECT_NEAR(three.standardDeviation, 0.2, 1e-12);
    EXPECT_NEAR(three.relativeStandardDeviation, 1.960784, 1e-6);

    const ResultStatistics one = resultStatistics({5.0});
    EXPECT_EQ(one.n, 1);
    EXPECT_EQ(one.mean, 5.0);
    EXPECT_EQ(one.standardDeviation, 0.0);
    EXPECT_EQ(resultStatistics({}).n, 0);
}

TEST(ResultStatistics, ReadsTheTitratorsFirstResultFromTheLineThatNamesR1)
{
    EXPECT_EQ(titratorFirstResult("EP1 10.02 ml 7.01 pH\nR1 = 99.52 %\nR2 = 1.5 mmol\n"), 99.52);
    EXPECT_EQ(titratorFirstResult("R2 = 3\n  R1 (content)=  -0.75e1 mg\n"), -7.5);
    EXPECT_EQ(titratorFirstResult("Content = 99.5 %\n"), std::nullopt) << "no line names R1";
    EXPECT_EQ(titratorFirstResult("R1 = ---\nR1 = 4\n"), std::nullopt) << "only the first R1 line counts";
    EXPECT_EQ(titratorFirstResult("R1 99.5\n"), std::nullopt) << "no \"=\"";
}
