#include "tools/method_codes.h"

#include <gtest/gtest.h>

TEST(MethodCodes, EntriesShiftInFromTheRightLikeAFourDigitDisplay)
{
    using Group = MethodCodes::Group;
    EXPECT_EQ(MethodCodes::parseEntry("012.5"), (Group{0, 1, 2, 5}));
    EXPECT_EQ(MethodCodes::parseEntry("7"), (Group{0, 0, 0, 7}));
    EXPECT_EQ(MethodCodes::parseEntry("123456"), (Group{3, 4, 5, 6}));
    EXPECT_FALSE(MethodCodes::parseEntry("-1"));
    EXPECT_FALSE(MethodCodes::parseEntry("1a"));
}

TEST(MethodCodes, GroupsThreeAndFiveShowTheirPoint)
{
    MethodCodes method;
    method.setGroup(2, {0, 1, 2, 5});
    method.setGroup(3, {0, 1, 2, 5});
    EXPECT_EQ(method.groupText(2), "012.5");
    EXPECT_EQ(method.groupText(3), "0125");
    EXPECT_EQ(MethodCodes::label(9), 'A');
    EXPECT_EQ(MethodCodes::label(11), 'C');
}

TEST(MethodCodes, DosingParametersComeFromTheDigits)
{
    MethodCodes method;
    EXPECT_TRUE(method.measuresPh());
    EXPECT_DOUBLE_EQ(method.buretVolumeMl(), 20.0);
    EXPECT_DOUBLE_EQ(method.maxIncrementMl(), 0.4);
    EXPECT_DOUBLE_EQ(method.maxVolumeMl(), 20.0);
    method.setGroup(0, {0, 1, 0, 4});
    method.setGroup(1, {3, 2, 0, 1});
    method.setGroup(2, {0, 0, 2, 5});
    method.setGroup(3, {0, 0, 0, 0});
    method.setGroup(4, {0, 0, 8, 2});
    EXPECT_FALSE(method.measuresPh());
    EXPECT_EQ(method.titrationNature(), 4);
    EXPECT_DOUBLE_EQ(method.buretVolumeMl(), 10.0);
    EXPECT_DOUBLE_EQ(method.maxVolumeMl(), 10.0); // no maximum given: the buret's volume
    EXPECT_DOUBLE_EQ(method.maxIncrementMl(), 0.05);
    EXPECT_DOUBLE_EQ(method.minIncrementMl(), 0.01);
    EXPECT_DOUBLE_EQ(method.targetChangeMv(), 16.0);
    EXPECT_DOUBLE_EQ(method.predosageMl(), 2.5);
    EXPECT_DOUBLE_EQ(method.groupFiveValue(), 8.2);
}

TEST(MethodCodes, PredefinedMemoriesDifferFromEachOther)
{
    for (int slot = 36; slot <= 50; ++slot)
        for (int other = slot + 1; other <= 50; ++other) {
            bool differ = false;
            for (int group = 0; group < MethodCodes::groupCount; ++group)
                differ |= MethodCodes::predefined(slot).group(group) != MethodCodes::predefined(other).group(group);
            EXPECT_TRUE(differ) << slot << " and " << other;
        }
}
