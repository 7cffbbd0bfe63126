#include "serial_fixture.h"

#include "serial/connection_summary.h"

#include <algorithm>

using namespace comm;

namespace {

/// A port whose device goes away and comes back, as a USB adapter pulled and plugged in again.
class DeviceLoss : public SerialFixture
{
  protected:
    void SetUp() override
    {
        SerialFixture::SetUp();
        port->SetAutoReconnect(true);
        record(port->OnDeviceLost, "lost");
        record(port->OnReconnected, "reconnected");
        record(port->OnReconnectRefused, "refused");
        port->OnRxClusterEvent = [this](TSerialPort *) { received += port->ReadNextCluster(); };
    }

    void pull()
    {
        driver->setPresent(false);
        // A device that is gone fails every call the close makes too.
        for (const FakeCall call : {FakeCall::ClearCommError, FakeCall::Purge, FakeCall::Escape})
            device.fail(call, ErrorDeviceNotConnected);
    }

    void plugIn()
    {
        for (const FakeCall call : {FakeCall::ClearCommError, FakeCall::Purge, FakeCall::Escape})
            device.fail(call, NoError);
        driver->setPresent(true);
    }

    QByteArray received;
};

TEST_F(DeviceLoss, IsReportedOnceAndClosesThePort)
{
    port->SetBaudRate(2400);
    port->SetClusterSize(0);
    open();
    device.receive("before");
    run(100);
    pull();
    run(500);
    EXPECT_FALSE(port->Active());
    EXPECT_TRUE(port->Lost());
    EXPECT_TRUE(device.closed());
    EXPECT_EQ(port->ComHandle(), InvalidHandle);
    EXPECT_EQ(received, "before");
    EXPECT_EQ(events, QStringList{"lost"});
    std::vector<Report> errors;
    std::copy_if(reports.begin(), reports.end(), std::back_inserter(errors),
                 [](const Report &report) { return report.place != 100; });
    EXPECT_EQ(errors, (std::vector<Report>{{9920, ErrorDeviceNotConnected, "Error device lost, port closed"}}));
}

TEST_F(DeviceLoss, TheDeviceIsLookedForOnceASecondAndReopenedWithTheSameSettings)
{
    port->SetBaudRate(2400);
    port->SetDataBits(7);
    port->SetParityType(EvenParity);
    open();
    pull();
    run(100);
    const int opens = driver->openedNames().size();
    const int checksBefore = driver->existenceChecks();
    run(10000);
    const int checks = driver->existenceChecks() - checksBefore;
    EXPECT_GE(checks, 9);
    EXPECT_LE(checks, 10);
    EXPECT_EQ(driver->openedNames().size(), opens) << "no open while the device is away";

    plugIn();
    device.receive("back", 100);
    run(1100);
    EXPECT_TRUE(port->Active());
    EXPECT_FALSE(port->Lost());
    EXPECT_EQ(events, (QStringList{"lost", "reconnected"}));
    EXPECT_EQ(device.dcb().baudRate, 2400u);
    EXPECT_EQ(device.dcb().byteSize, 7);
    EXPECT_EQ(device.dcb().parity, EvenParity);
    run(1000);
    EXPECT_EQ(received, "back");
}

// A link left behind by its device, or a node number given to the next adapter.
TEST_F(DeviceLoss, AnotherDeviceUnderTheNameIsRefusedUntilTheSameOneIsBack)
{
    driver->setIdentity("adapter A");
    open();
    pull();
    run(100);
    driver->setIdentity("adapter B");
    plugIn();
    const int opens = driver->openedNames().size();
    run(3500);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(driver->openedNames().size(), opens) << "another device is never opened";
    EXPECT_EQ(events, (QStringList{"lost", "refused"}));
    EXPECT_EQ(std::count(reports.begin(), reports.end(),
                         Report{9921, 0, "Warning another device at the port, not reconnected"}),
              1);
    EXPECT_EQ(reconnectRefusedMessage(*port), "Port COM2 not reconnected: another device is there now "
                                              "(adapter B; it was adapter A) - waiting for the device");

    driver->setIdentity("adapter A");
    run(1100);
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(events, (QStringList{"lost", "refused", "reconnected"}));
    EXPECT_TRUE(port->RefusedDevice().isEmpty());

    // Opened on purpose, the port takes the device that is there.
    port->SetActive(false);
    driver->setIdentity("adapter B");
    port->SetActive(true);
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(port->KnownDevice(), "adapter B");
}

TEST_F(DeviceLoss, APortClosedOnPurposeIsNotReopened)
{
    open();
    pull();
    run(100);
    port->SetActive(false);
    EXPECT_FALSE(port->Lost());
    plugIn();
    const int checks = driver->existenceChecks();
    run(3000);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(driver->existenceChecks(), checks);

    // Nor is an open port that the user closes while its device is there.
    port->SetActive(true);
    port->SetActive(false);
    run(3000);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(events, QStringList{"lost"});
}

TEST_F(DeviceLoss, APortWhoseDeviceIsNotThereYetOpensWhenItComes)
{
    driver->failOpen(ErrorFileNotFound);
    driver->setPresent(false);
    port->SetActive(true);
    EXPECT_FALSE(port->Active());
    EXPECT_FALSE(port->Lost());
    run(2500);
    driver->failOpen(NoError);
    driver->setPresent(true);
    run(1100);
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(events, QStringList{"reconnected"});
}

TEST_F(DeviceLoss, WithoutAutoReconnectThePortStaysClosed)
{
    port->SetAutoReconnect(false);
    open();
    pull();
    run(100);
    plugIn();
    run(3000);
    EXPECT_FALSE(port->Active());
    EXPECT_TRUE(port->Lost());
    EXPECT_EQ(events, QStringList{"lost"});
}

// A Linux device takes neither 4 data bits nor DSR/DTR handshake.
TEST_F(DeviceLoss, ARefusedSettingIsTakenBackAndLaterChangesReachTheDevice)
{
    device.refuseSettings([](const Dcb &dcb) { return dcb.byteSize < 5 || (dcb.flags & FOutxDsrFlow); });
    port->SetBaudRate(2400);
    port->SetDataBits(7);
    open();
    port->SetDataBits(4);
    EXPECT_EQ(port->DataBits(), 7);
    port->SetFlowControl(40);
    EXPECT_EQ(port->FlowControl(), 0);
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reported(802, ErrorInvalidParameter));

    port->SetBaudRate(9600);
    EXPECT_EQ(device.dcb().baudRate, 9600u);
    EXPECT_EQ(device.dcb().byteSize, 7);
    EXPECT_EQ(reports.size(), 2u);
}

} // namespace
