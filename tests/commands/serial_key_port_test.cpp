#include "commands/instrument_commands.h"
#include "commands/pause.h"
#include "commands/serial_key_port.h"
#include "serial/platform/fake_comm_device.h"
#include "serial/platform/fake_comm_driver.h"
#include "serial/serial_port.h"
#include "tests/support/command_doubles.h"
#include "tests/support/form_fixture.h"

#include <gtest/gtest.h>

namespace {

class CommandsOnSerialPortTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { testApplication(); }

    void SetUp() override
    {
        port.SetCommPort("COM1");
        port.SetActive(true);
        pause(250);
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeCommDriver> driver = std::make_shared<FakeCommDriver>(*clock);
    CommandLog log{*clock};
    ScriptedPump pump{*clock, 1};
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
