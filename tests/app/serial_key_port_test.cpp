#include "app/instrument_commands.h"
#include "app/pause.h"
#include "app/serial_key_port.h"
#include "command_doubles.h"
#include "serial/platform/fake_comm_device.h"
#include "serial/platform/fake_comm_driver.h"
#include "serial/serial_port.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

/// Serves the worker's synchronized calls as the window thread would; a wait moves the clock on
/// by one millisecond, so the worker's polls interleave with the commands as in real time.
class ServingPump : public EventPump
{
  public:
    explicit ServingPump(ManualClock &clock) : m_clock(clock) {}

    void processPending() override
    {
        do {
            QCoreApplication::processEvents();
            m_clock.advance(0);
        } while (m_clock.parked() > 0);
    }

    void waitForEvents(std::uint32_t) override { m_clock.advance(1); }

  private:
    ManualClock &m_clock;
};

class CommandsOnSerialPortTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        port.SetCommPort("COM1");
        port.SetActive(true);
        pause(250);
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeCommDriver> driver = std::make_shared<FakeCommDriver>(*clock);
    CommandLog log{*clock};
    ServingPump pump{*clock};
    Pause pause{*clock, pump};
    TSerialPort port{nullptr, SerialBackend{driver, clock}};
    SerialKeyPort keys{port};
    RecordingHost host{log};
    ScriptedInput input;
    InstrumentCommands commands{keys, pause, host, input};
};

TEST_F(CommandsOnSerialPortTest, KeysReachTheLineAsTheyAre)
{
    commands.run(InstrumentCommands::Fixed::ListCurrentMethod);
    pause(100);
    EXPECT_EQ(driver->device().written(), QByteArray("2H\r"));
}

TEST_F(CommandsOnSerialPortTest, AStringSentWhileAWriteIsGoingOutIsLostSilently)
{
    driver->device().holdWrites(true);
    commands.run(InstrumentCommands::Fixed::Keyboard);
    commands.run(InstrumentCommands::Fixed::Reset);
    driver->device().finishWrite(1);
    pause(100);
    EXPECT_EQ(driver->device().written(), QByteArray("Y"));
    // The refused command still finishes and reports, as the titrator's answer is never checked.
    ASSERT_EQ(log.entries().size(), 2u);
    EXPECT_TRUE(log.entries().back().ends_with(" status RESET"));
}

} // namespace
