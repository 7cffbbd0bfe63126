#include "tools/line_pacer.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(LinePacer, BytesBecomeAvailableAtTheLineRate)
{
    const LinePacer::Clock::time_point start{};
    LinePacer pacer(1000.0, start); // 1 byte per millisecond
    EXPECT_EQ(pacer.chunk(), 20);
    EXPECT_EQ(pacer.allowance(start), 0);
    EXPECT_EQ(pacer.msUntil(5), 5);
    EXPECT_EQ(pacer.allowance(start + 5ms), 5);
    pacer.spend(5);
    EXPECT_EQ(pacer.allowance(start + 7ms), 2);
    pacer.spend(2);
    EXPECT_EQ(pacer.msUntil(20), 20);
}

TEST(LinePacer, ASilentLineSavesUpOnlyOneChunk)
{
    const LinePacer::Clock::time_point start{};
    LinePacer pacer(1000.0, start);
    EXPECT_EQ(pacer.allowance(start + 10s), pacer.chunk());
    pacer.spend(pacer.chunk());
    EXPECT_EQ(pacer.allowance(start + 10s), 0);
}

TEST(LinePacer, SlowLinesStillSendWholeCharacters)
{
    const LinePacer::Clock::time_point start{};
    LinePacer pacer(2400 / 11.0, start);
    EXPECT_EQ(pacer.chunk(), 4);
    EXPECT_EQ(pacer.allowance(start + 4ms), 0);
    EXPECT_EQ(pacer.allowance(start + 10ms), 2);
    LinePacer crawl(0.5, start);
    EXPECT_EQ(crawl.chunk(), 1);
    EXPECT_EQ(crawl.msUntil(1), 2000);
}
