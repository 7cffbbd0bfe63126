#include "commands/instrument_commands.h"
#include "commands/pause.h"
#include "tests/support/command_doubles.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

using Fixed = InstrumentCommands::Fixed;

class InstrumentCommandsTest : public ::testing::Test, protected RecordedCommands
{
};

struct FixedCase
{
    const char *name;
    Fixed command;
    std::vector<std::string> steps;
};

class FixedSequenceTest : public InstrumentCommandsTest, public ::testing::WithParamInterface<FixedCase>
{
};

TEST_P(FixedSequenceTest, SendsItsKeysWithTheirWaits)
{
    commands.run(GetParam().command);
    EXPECT_EQ(log.entries(), timed(GetParam().steps));
    EXPECT_EQ(input.asked, 0);
}

INSTANTIATE_TEST_SUITE_P(
    InstrumentCommands, FixedSequenceTest,
    ::testing::Values(
        FixedCase{"Reset", Fixed::Reset, {"send L", "wait 1000", "status RESET"}},
        FixedCase{"Status", Fixed::Status, {"line Status:", "send ?", "wait 1000", "status Asking Status"}},
        FixedCase{"ListCurrentMethod",
                  Fixed::ListCurrentMethod,
                  {"status Listing actual method", "send 2", "wait 1000", "send H", "wait 1000", "send <CR>"}},
        FixedCase{"ListAllMethods",
                  Fixed::ListAllMethods,
                  {"status Listing all methods", "send 0", "wait 1000", "send H", "wait 1000", "send <CR>"}},
        FixedCase{
            "Stirrer", Fixed::Stirrer, {"send 2", "wait 1000", "send O", "status Stirrer toggled, stop with Reset"}},
        FixedCase{"ViewmV", Fixed::ViewmV, {"send 2", "wait 1000", "send N", "status Signal in mV, stop with reset:"}},
        FixedCase{"ViewpH", Fixed::ViewpH, {"send 3", "wait 1000", "send N", "status Signal in pH, stop with reset:"}},
        FixedCase{"GetResultsShort",
                  Fixed::GetResultsShort,
                  {"line Results (short):", "send 4", "wait 1000", "send O", "status Getting Results (short)"}},
        FixedCase{"GetResultsTable",
                  Fixed::GetResultsTable,
                  {"line Results (table):", "send 7", "wait 1000", "send O", "status Getting Results (long)"}},
        FixedCase{"Keyboard", Fixed::Keyboard, {"send Y", "status Keyboard is on"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(InstrumentCommandsTest, RunSendsWeightAndIdentificationBetweenRunKeys)
{
    input.run = RunEntry{"0.2531", "3"};
    commands.startTitration();
    EXPECT_EQ(log.entries(),
              timed({"send O", "wait 5000", "send 0.2531", "wait 1000", "send O", "wait 2000", "send 3", "wait 1000",
                     "send O", "wait 2000", "send O", "wait 1000", "send <CR>", "status Run started... Please wait."}));
}

TEST_F(InstrumentCommandsTest, RunWithEmptyFieldsKeepsEveryWait)
{
    commands.startTitration();
    EXPECT_EQ(log.entries(),
              timed({"send O", "wait 5000", "wait 1000", "send O", "wait 2000", "wait 1000", "send O", "wait 2000",
                     "send O", "wait 1000", "send <CR>", "status Run started... Please wait."}));
    EXPECT_GT(clock.elapsed(), 12000u);
}

TEST_F(InstrumentCommandsTest, FillBuretSendsTheVolumeBeforeTheBuretKey)
{
    input.volume = "10";
    commands.fillBuret();
    EXPECT_EQ(log.entries(), timed({"status Filling buret, please wait...", "send 10", "wait 1000", "send M",
                                    "status Filling buret, please wait..."}));
}

TEST_F(InstrumentCommandsTest, FillBuretWithoutVolumeFillsCompletelyAtOnce)
{
    commands.fillBuret();
    EXPECT_EQ(log.entries(), timed({"send M", "status Filling buret, please wait..."}));
}

TEST_F(InstrumentCommandsTest, TiterAndReagentSendTheirValueThenTheirTwoKeys)
{
    input.titer = "0.99";
    input.reagent = "0.25";
    commands.setTiterConcentration();
    commands.setReagentConstant();
    EXPECT_EQ(log.entries(), timed({"send 0.99", "wait 1000", "send I", "wait 1000", "send Z", "send 0.25", "wait 1000",
                                    "send F", "wait 1000", "send Z"}));
}

TEST_F(InstrumentCommandsTest, PhCalibrationConfirmsBothBuffers)
{
    commands.calibratePh();
    EXPECT_EQ(log.entries(), timed({"send N", "wait 2000", "send O", "wait 2000", "send O", "wait 1000"}));
    EXPECT_EQ(input.asked, 2);
}

TEST_F(InstrumentCommandsTest, PhCalibrationCancelledAtTheSecondBufferResets)
{
    input.ph7 = false;
    commands.calibratePh();
    EXPECT_EQ(log.entries(), timed({"send N", "wait 2000", "send O", "wait 2000", "send L"}));
}

TEST_F(InstrumentCommandsTest, CancellingADialogSendsNothing)
{
    input.run.reset();
    input.volume.reset();
    input.titer.reset();
    input.reagent.reset();
    input.ph4 = false;
    commands.startTitration();
    commands.fillBuret();
    commands.setTiterConcentration();
    commands.setReagentConstant();
    commands.calibratePh();
    EXPECT_EQ(log.entries(), timed({"status Run cancelled!"}));
    EXPECT_EQ(input.asked, 5);
}

struct DateCase
{
    const char *name;
    QDate today;
    std::vector<std::string> sent;
};

class SetDateTest : public InstrumentCommandsTest, public ::testing::WithParamInterface<DateCase>
{
};

TEST_P(SetDateTest, SendsDayMonthAndYearSince2000)
{
    commands.setDate(GetParam().today);
    const auto &sent = GetParam().sent;
    EXPECT_EQ(log.entries(), timed({"message Power on DL25 and wait for display:  d.At [day]", "send " + sent[0],
                                    "wait 1000", "send O", "wait 1000", "send " + sent[1], "wait 1000", "send O",
                                    "wait 1000", "send " + sent[2], "wait 1000", "send O"}));
}

INSTANTIATE_TEST_SUITE_P(InstrumentCommands, SetDateTest,
                         ::testing::Values(DateCase{"NoLeadingZeros", QDate(2009, 3, 5), {"5", "3", "9"}},
                                           DateCase{"FirstOf2000", QDate(2000, 1, 1), {"1", "1", "0"}},
                                           DateCase{"LateInTheYear", QDate(2026, 12, 31), {"31", "12", "26"}},
                                           DateCase{"Before2000WrapsIn16Bits", QDate(1999, 7, 4), {"4", "7", "65535"}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(InstrumentCommandsTest, CommandsDuringRunAreRefusedAndResetStopsIt)
{
    input.run = RunEntry{"0.5", ""};
    pump.at(1000, [this] { commands.run(Fixed::Status); });
    pump.at(2000, [this] { commands.run(Fixed::Reset); });
    commands.startTitration();
    EXPECT_EQ(log.entries(), (std::vector<std::string>{"0 send O", "1000 status Busy - command not sent", "2000 send L",
                                                       "3001 status RESET"}));
    commands.run(Fixed::Keyboard);
    EXPECT_EQ(log.entries().back(), "5001 status Keyboard is on");
}

TEST_F(InstrumentCommandsTest, RunAndSetDateShowTheTitratorsErrorLineInsteadOfSuccess)
{
    // Printed before the command: not its answer, and the start of a line that ends during it.
    host.received = "E8 NO RESULTS\r\nE";
    pump.at(7000, [this] { host.received += "4 HALF A LINE\r\n  E1 = 12 mV\r\nE3 WEIGHT ?\r\n  W = 1 g\r\n"; });
    commands.startTitration();
    EXPECT_EQ(log.entries().back(), "12006 status Run failed: E3 WEIGHT ?");

    pump.at(13000, [this] { host.received += "E2 FUNCTION ?\r\n"; });
    commands.setDate(QDate(2009, 3, 5));
    EXPECT_EQ(log.entries().back(), "17011 status Set Date failed: E2 FUNCTION ?");
}

TEST_F(InstrumentCommandsTest, APortLostAndBackWithinAWaitEndsTheCommand)
{
    pump.at(3000, [this] { port.open = false; });
    pump.at(3500, [this] {
        port.open = true;
        ++port.openings;
    });
    commands.startTitration();
    EXPECT_EQ(log.entries(), (std::vector<std::string>{"0 send O", "5001 status Command aborted - port lost"}));
}

using Command = std::function<void(InstrumentCommands &)>;

class ClosedPortTest : public InstrumentCommandsTest, public ::testing::WithParamInterface<Command>
{
};

TEST_P(ClosedPortTest, AsksAndSendsNothingAndSaysSo)
{
    port.open = false;
    GetParam()(commands);
    EXPECT_EQ(log.entries(), timed({"status Port COM3 is not open - command not sent"}));
    EXPECT_EQ(input.asked, 0);
}

std::vector<Command> everyCommand()
{
    std::vector<Command> all;
    for (Fixed fixed : {Fixed::Reset, Fixed::Status, Fixed::ListCurrentMethod, Fixed::ListAllMethods, Fixed::Stirrer,
                        Fixed::ViewmV, Fixed::ViewpH, Fixed::GetResultsShort, Fixed::GetResultsTable, Fixed::Keyboard})
        all.push_back([fixed](InstrumentCommands &commands) { commands.run(fixed); });
    all.insert(all.end(), {&InstrumentCommands::startTitration, &InstrumentCommands::fillBuret,
                           &InstrumentCommands::setTiterConcentration, &InstrumentCommands::setReagentConstant,
                           &InstrumentCommands::calibratePh,
                           [](InstrumentCommands &commands) { commands.setDate(QDate(2009, 3, 5)); }});
    return all;
}

// In the order of everyCommand().
std::string commandName(const ::testing::TestParamInfo<Command> &info)
{
    static const char *const names[] = {"Reset",  "Status",    "ListCurrentMethod",  "ListAllMethods",  "Stirrer",
                                        "ViewmV", "ViewpH",    "GetResultsShort",    "GetResultsTable", "Keyboard",
                                        "Run",    "FillBuret", "TiterConcentration", "ReagentConstant", "PhCalibration",
                                        "SetDate"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(InstrumentCommands, ClosedPortTest, ::testing::ValuesIn(everyCommand()), commandName);

} // namespace
