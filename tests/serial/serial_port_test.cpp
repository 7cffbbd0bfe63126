#include "serial_fixture.h"

using namespace comm;

namespace {

using SerialPort = SerialFixture;

TEST_F(SerialPort, StartsClosedWithItsInitialSettings)
{
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->ComHandle(), 4294967295u);
    EXPECT_EQ(port->CommPort(), "COM2");
    EXPECT_EQ(port->BaudRate(), 9600u);
    EXPECT_EQ(port->DataBits(), 8);
    EXPECT_EQ(port->ClusterSize(), 3072);
    EXPECT_EQ(port->RTOCharDelayTime(), 1100u);
    EXPECT_EQ(port->WTOExtraDelayTime(), 250);
    EXPECT_TRUE(port->RTSState());
    EXPECT_TRUE(port->DTRState());
    EXPECT_EQ(port->NextClusterSize(), -1);
    EXPECT_EQ(port->ReadNextCluster(), QByteArray());
}

TEST_F(SerialPort, OpeningWritesSettingsRaisesLinesAndEnablesEvents)
{
    port->SetCommPort("COM1");
    port->SetBaudRate(2400);
    port->SetDataBits(7);
    port->SetParityType(EvenParity);
    port->SetStopBits(TwoStopBits);
    port->SetRxQueueSize(2048);
    reports.clear();
    port->SetActive(true);

    EXPECT_TRUE(port->Active());
    EXPECT_EQ(port->ComHandle(), 7u);
    EXPECT_EQ(driver->openedNames(), QStringList{"COM1"});
    const Dcb dcb = device.dcb();
    EXPECT_EQ(dcb.baudRate, 2400u);
    EXPECT_EQ(dcb.byteSize, 7);
    EXPECT_EQ(dcb.parity, EvenParity);
    EXPECT_EQ(dcb.stopBits, TwoStopBits);
    EXPECT_EQ(dcb.flags, FBinary | FParity);
    EXPECT_EQ(dcb.xonLim, 675);
    EXPECT_EQ(dcb.xoffLim, 675);
    EXPECT_EQ(device.timeouts(), (CommTimeouts{0xFFFFFFFF, 0, 0, 0, 0}));
    EXPECT_EQ(device.rxQueueSize(), 2048u);
    EXPECT_EQ(device.mask(), EvAll);
    EXPECT_EQ(device.escapes(), (QList<Escape>{Escape::SetDtr, Escape::SetRts}));
    EXPECT_EQ(reports, (std::vector<Report>{{110, 0, "Msg start reactivating Port"}}));
}

TEST_F(SerialPort, FlagWordIsRebuiltFromTheProperties)
{
    open();
    port->SetFlowControl(8196);
    port->SetStripNullChars(true);
    port->SetParityErrorReplacement(true);
    EXPECT_EQ(device.dcb().flags, FBinary | FErrorChar | FNull | 8196u);
    port->SetFlowControl(0);
    EXPECT_EQ(device.dcb().flags, FBinary | FErrorChar | FNull);
}

TEST_F(SerialPort, ClosingLowersLinesAndReopeningRaisesThem)
{
    open();
    port->SetActive(false);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->ComHandle(), 4294967295u);
    EXPECT_FALSE(port->DTRState());
    EXPECT_FALSE(port->RTSState());
    EXPECT_TRUE(device.closed());
    EXPECT_EQ(device.purges(), QList<uint32_t>{15});
    EXPECT_EQ(reports, (std::vector<Report>{{100, 0, "Msg start deactivating Port"}}));

    port->SetActive(true);
    EXPECT_TRUE(port->DTRState());
    EXPECT_TRUE(port->RTSState());
}

TEST_F(SerialPort, SettingActiveToItsValueDoesNothing)
{
    port->SetActive(false);
    open();
    port->SetActive(true);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(driver->openedNames().size(), 1);
}

TEST_F(SerialPort, AFailedOpenStaysClosedAndTheNextTryWorks)
{
    driver->failOpen(ErrorFileNotFound);
    port->SetActive(true);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->ComHandle(), 4294967295u);
    EXPECT_TRUE(reported(112, ErrorFileNotFound));
    EXPECT_EQ(port->OpenFailure(), "COM2 could not be opened: error 2.") << "the driver's explanation is kept";
    driver->failOpen(NoError);
    port->SetActive(true);
    EXPECT_TRUE(port->Active());
    EXPECT_TRUE(port->OpenFailure().isEmpty());
}

TEST_F(SerialPort, ChangingThePortNameReopensOnlyAnOpenPort)
{
    port->SetCommPort("COM2");
    port->SetCommPort("COM3");
    EXPECT_TRUE(driver->openedNames().isEmpty());
    EXPECT_TRUE(reports.empty());

    open();
    port->SetCommPort("COM3");
    EXPECT_TRUE(reports.empty());
    port->SetCommPort("COM4");
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(driver->openedNames(), (QStringList{"COM3", "COM4"}));
    EXPECT_EQ(reports,
              (std::vector<Report>{{100, 0, "Msg start deactivating Port"}, {110, 0, "Msg start reactivating Port"}}));
}

TEST_F(SerialPort, LongPortNamesAreCut)
{
    port->SetCommPort(QString(300, 'x'));
    EXPECT_EQ(port->CommPort().size(), 255);
    port->SetActive(true);
    EXPECT_EQ(driver->openedNames().first().size(), 79);
}

TEST_F(SerialPort, ModemLinesAreLeftAloneWhileClosed)
{
    port->SetRTSState(false);
    port->SetDTRState(false);
    port->SetBREAKState(true);
    EXPECT_TRUE(port->RTSState());
    EXPECT_TRUE(port->DTRState());
    EXPECT_FALSE(port->BREAKState());
    EXPECT_TRUE(reports.empty());
}

TEST_F(SerialPort, ModemLinesFollowTheirPropertiesWhileOpen)
{
    open();
    port->SetRTSState(false);
    port->SetBREAKState(true);
    EXPECT_FALSE(port->RTSState());
    EXPECT_TRUE(port->BREAKState());
    EXPECT_TRUE(device.breakOn());
    EXPECT_EQ(device.escapes().last(), Escape::ClrRts);
    port->SetBREAKState(false);
    EXPECT_FALSE(device.breakOn());
}

TEST_F(SerialPort, LimitPercentagesAboveHundredAreClampedWithAWarning)
{
    port->SetXONLimDiv(150);
    port->SetXOFFLimDiv(101);
    EXPECT_EQ(port->XONLimDiv(), 100);
    EXPECT_EQ(port->XOFFLimDiv(), 100);
    EXPECT_EQ(reports, (std::vector<Report>{{100, 150, "Warning XOnLimDef set to 100"},
                                            {100, 101, "Warning XOffLimDef set to 100"}}));
}

TEST_F(SerialPort, UnchangedLineSettingsAreNotWrittenAgain)
{
    open();
    const int before = device.calls(FakeCall::SetCommState);
    port->SetBaudRate(port->BaudRate());
    port->SetDataBits(port->DataBits());
    port->SetEventChar(port->EventChar());
    port->SetWTOExtraDelayTime(port->WTOExtraDelayTime());
    EXPECT_EQ(device.calls(FakeCall::SetCommState), before);
    port->SetEventChar('\r');
    EXPECT_EQ(device.calls(FakeCall::SetCommState), before + 1);
    EXPECT_EQ(device.dcb().evtChar, '\r');
}

TEST_F(SerialPort, QueueSizeChangesGoToTheDeviceAtOnce)
{
    port->SetRxQueueSize(1024);
    port->SetTxQueueSize(1024);
    EXPECT_EQ(reports, (std::vector<Report>{{101, ErrorInvalidHandle, "Error can not set Quesize"},
                                            {102, ErrorInvalidHandle, "Error can not set Quesize"}}));
    open();
    port->SetTxQueueSize(512);
    EXPECT_EQ(device.txQueueSize(), 512u);
    EXPECT_TRUE(reports.empty());
}

struct SpeedCase
{
    uint32_t baudRate;
    uint32_t charTime;
};

class AutoCharDelay : public SerialFixture, public ::testing::WithParamInterface<SpeedCase>
{
};

TEST_P(AutoCharDelay, FollowsTheSpeedTable)
{
    port->SetBaudRate(GetParam().baudRate);
    EXPECT_EQ(port->RTOCharDelayTime(), GetParam().charTime);
    EXPECT_EQ(port->WTOCharDelayTime(), GetParam().charTime);
}

INSTANTIATE_TEST_SUITE_P(Speeds, AutoCharDelay,
                         ::testing::Values(SpeedCase{50, 1100}, SpeedCase{110, 100000}, SpeedCase{2400, 4500},
                                           SpeedCase{14400, 760}, SpeedCase{56000, 200}, SpeedCase{115000, 190},
                                           SpeedCase{115200, 95}, SpeedCase{1000000, 43}),
                         [](const ::testing::TestParamInfo<SpeedCase> &info) {
                             return "Baud" + std::to_string(info.param.baudRate);
                         });

TEST_F(SerialPort, CharDelaysStayPutWithoutAutomatic)
{
    port->SetXTOAuto(false);
    port->SetBaudRate(2400);
    EXPECT_EQ(port->RTOCharDelayTime(), 1100u);
    port->SetXTOAuto(true);
    EXPECT_EQ(port->RTOCharDelayTime(), 4500u);
    EXPECT_EQ(port->WTOCharDelayTime(), 4500u);
}

TEST_F(SerialPort, ErrorNoiseGatesReportsByLevel)
{
    port->SetErrorNoise(0);
    driver->failOpen(ErrorAccessDenied);
    port->SetActive(true);
    port->SetXONLimDiv(120);
    EXPECT_EQ(reports, (std::vector<Report>{{112, ErrorAccessDenied, "Error reopening Port"}}));

    reports.clear();
    port->SetErrorNoise(1);
    port->SetXOFFLimDiv(120);
    port->SetActive(true);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(SerialPort, NothingIsReportedWhileBeingDestroyed)
{
    open();
    device.fail(FakeCall::Close, ErrorGenFailure);
    port.reset();
    EXPECT_TRUE(reports.empty());
}

// Each failure is reported under its place and the component goes on as far as it can.
struct FailureCase
{
    const char *name;
    FakeCall call;
    bool whileOpening;
    Report report;
};

class OpenCloseFailure : public SerialFixture, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(OpenCloseFailure, IsReportedAndThePortStillWorks)
{
    const FailureCase &failure = GetParam();
    if (!failure.whileOpening)
        open();
    device.fail(failure.call, ErrorGenFailure, 1);
    port->SetActive(failure.whileOpening);
    EXPECT_TRUE(reported(failure.report.place, failure.report.code)) << failure.name;
    EXPECT_NE(std::find(reports.begin(), reports.end(), failure.report), reports.end()) << failure.name;
    EXPECT_EQ(port->Active(), failure.whileOpening);

    port->SetActive(!port->Active());
    port->SetActive(true);
    device.receive("ok");
    run(800);
    EXPECT_EQ(port->ReadNextCluster(), "ok") << failure.name;
}

INSTANTIATE_TEST_SUITE_P(
    Places, OpenCloseFailure,
    ::testing::Values(
        FailureCase{"setup", FakeCall::SetupComm, true, {111, ErrorGenFailure, "Error setup Queuesize"}},
        FailureCase{"dcb", FakeCall::GetCommState, true, {801, ErrorGenFailure, "Error getting DCB from CommState"}},
        FailureCase{"timeouts", FakeCall::SetCommTimeouts, true, {802, ErrorGenFailure, "Error setting CommTimeout"}},
        FailureCase{"state",
                    FakeCall::SetCommState,
                    true,
                    {802, ErrorGenFailure, "Error setting CommState, 87 indicate that Parms are incorrect"}},
        FailureCase{"lines", FakeCall::Escape, true, {601, ErrorGenFailure, "Error setting DTR"}},
        FailureCase{"mask", FakeCall::SetCommMask, true, {201, ErrorGenFailure, "Error activating CommEventMask"}},
        FailureCase{"unmask", FakeCall::SetCommMask, false, {101, ErrorGenFailure, "Error disabling CommEvents"}},
        FailureCase{"purge", FakeCall::Purge, false, {102, ErrorGenFailure, "Error clearing Queues"}},
        FailureCase{"dtr", FakeCall::Escape, false, {602, ErrorGenFailure, "Error clearing DTR"}},
        FailureCase{"close", FakeCall::Close, false, {103, ErrorGenFailure, "Error closing Port"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SerialPort, RtsAndBreakFailuresStillRecordTheValue)
{
    open();
    device.fail(FakeCall::Escape, ErrorGenFailure, 1);
    port->SetRTSState(false);
    device.fail(FakeCall::SetBreak, ErrorGenFailure, 1);
    port->SetBREAKState(true);
    device.fail(FakeCall::ClearBreak, ErrorGenFailure, 1);
    port->SetBREAKState(false);
    EXPECT_FALSE(port->RTSState());
    EXPECT_FALSE(port->BREAKState());
    EXPECT_EQ(reports, (std::vector<Report>{{502, ErrorGenFailure, "Error clearing RTS"},
                                            {701, ErrorGenFailure, "Error setting BREAK State"},
                                            {702, ErrorGenFailure, "Error clearing BREAK State"}}));
}

TEST_F(SerialPort, UnsupportedSettingsLeaveThePortOpen)
{
    open();
    device.fail(FakeCall::SetCommState, ErrorInvalidParameter, 1);
    port->SetStopBits(One5StopBits);
    EXPECT_TRUE(port->Active());
    EXPECT_TRUE(reported(802, ErrorInvalidParameter));
    EXPECT_EQ(device.dcb().stopBits, OneStopBit);
}

} // namespace
