#include "commands/pause.h"
#include "commands/qt_event_pump.h"
#include "tests/support/command_doubles.h"
#include "tests/support/form_fixture.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

class PauseTest : public ::testing::Test
{
  protected:
    ManualClock clock;
    ScriptedPump pump{clock};
    Pause pause{clock, pump};
};

TEST_F(PauseTest, ReturnsOnlyAfterMoreThanTheGivenTime)
{
    pause(1000);
    EXPECT_EQ(clock.elapsed(), 1001u);
}

TEST_F(PauseTest, ZeroStillHandlesWhatIsPending)
{
    bool handled = false;
    pump.at(0, [&] { handled = true; });
    pause(0);
    EXPECT_TRUE(handled);
    EXPECT_EQ(clock.elapsed(), 1u);
}

TEST_F(PauseTest, HandlesEventsThatArriveWhileWaiting)
{
    std::vector<std::uint64_t> handledAt;
    for (std::uint64_t time : {10, 500, 999})
        pump.at(time, [&] { handledAt.push_back(clock.elapsed()); });
    pause(1000);
    EXPECT_EQ(handledAt, (std::vector<std::uint64_t>{10, 500, 999}));
    EXPECT_EQ(clock.elapsed(), 1001u);
}

TEST_F(PauseTest, AHandlerMayPauseInsideAPause)
{
    std::uint64_t innerEnd = 0;
    pump.at(200, [&] {
        pause(2000);
        innerEnd = clock.elapsed();
    });
    pause(1000);
    EXPECT_EQ(innerEnd, 2201u);
    EXPECT_EQ(clock.elapsed(), 2201u);
}

TEST(PauseOnWrappingCounter, MeasuresAcrossTheWrap)
{
    ManualClock clock(0xFFFFFF00u);
    ScriptedPump pump{clock};
    Pause pause{clock, pump};
    pause(1000);
    EXPECT_EQ(clock.elapsed() - 0xFFFFFF00u, 1001u);
    EXPECT_EQ(clock.now(), 1001u - 0x100u);
}

/// Moves on by one millisecond at every reading, so a pause ends without real waiting.
class SteppingTicks : public TickSource
{
  public:
    std::uint32_t now() const override { return m_now++; }
    void sleep(std::uint32_t) override {}

  private:
    mutable std::uint32_t m_now = 0;
};

TEST(PauseOnQtEvents, HandlesPostedEventsEvenForZero)
{
    testApplication();
    SteppingTicks ticks;
    QtEventPump events;
    bool handled = false;
    QTimer::singleShot(0, [&] { handled = true; });
    Pause(ticks, events)(0);
    EXPECT_TRUE(handled);
}

} // namespace
