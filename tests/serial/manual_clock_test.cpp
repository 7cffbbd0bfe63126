#include "serial/manual_clock.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(ManualClock, WrapsLikeTheTickCounter)
{
    ManualClock clock(0xFFFFFFF0u);
    clock.advance(0x20);
    EXPECT_EQ(clock.now(), 0x10u);
    EXPECT_EQ(clock.elapsed(), 0x100000010u);
}

TEST(ManualClock, AdvanceStopsAtEachDeadlineAndWaitsForTheSleeperToMoveOn)
{
    ManualClock clock(100);
    std::vector<uint32_t> wakes;
    clock.attach();
    std::thread sleeper([&] {
        for (int i = 0; i < 3; ++i) {
            clock.sleep(75);
            wakes.push_back(clock.now());
        }
        clock.detach();
    });
    clock.advance(200);
    // Each wake was played out before the next step, so the list is complete here.
    EXPECT_EQ(wakes, (std::vector<uint32_t>{175, 250}));
    clock.advance(100);
    sleeper.join();
    EXPECT_EQ(wakes, (std::vector<uint32_t>{175, 250, 325}));
}

TEST(ManualClock, SleepOnTheDrivingThreadMovesTheClock)
{
    ManualClock clock(5);
    clock.sleep(20);
    EXPECT_EQ(clock.now(), 25u);
}

TEST(ManualClock, NotifiedWaitersLookAgainAtTheNextStep)
{
    ManualClock clock;
    std::atomic<bool> ready{false};
    bool sawReady = false;
    clock.attach();
    std::thread waiter([&] {
        sawReady = clock.waitUntil(1000, [&] { return ready.load(); });
        clock.detach();
    });
    clock.advance(10);
    ready = true;
    clock.notify();
    clock.advance(0);
    waiter.join();
    EXPECT_TRUE(sawReady);
    EXPECT_EQ(clock.now(), 10u);
}

TEST(ManualClock, ParkedThreadsCountAsBlocked)
{
    ManualClock clock;
    clock.attach();
    clock.park();
    clock.advance(50); // returns although the attached thread never waits on the clock
    EXPECT_EQ(clock.parked(), 1);
    clock.unpark();
    clock.detach();
    EXPECT_EQ(clock.now(), 50u);
}

} // namespace
