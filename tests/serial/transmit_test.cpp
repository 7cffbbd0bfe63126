#include "serial_fixture.h"

using namespace comm;

namespace {

class Transmit : public SerialFixture
{
  protected:
    void SetUp() override
    {
        SerialFixture::SetUp();
        port->SetBaudRate(2400);
        port->SetWTOCharDelayTime(4500);
        port->SetWTOExtraDelayTime(1000);
        port->OnWriteDone = [this](TSerialPort *) {
            events.append(QStringLiteral("done %1").arg(port->WrittenBytes()));
        };
    }
};

TEST_F(Transmit, AnEmptyStringSendsNothing)
{
    open();
    port->SendString({});
    EXPECT_EQ(device.calls(FakeCall::Write), 0);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(reports.empty());
}

struct TimeoutCase
{
    int length;
    uint32_t timeoutMs;
};

class WriteTimeout : public Transmit, public ::testing::WithParamInterface<TimeoutCase>
{
};

TEST_P(WriteTimeout, GrowsWithTheLengthInWholeMilliseconds)
{
    open();
    port->SendString(QByteArray(GetParam().length, 'L'));
    EXPECT_EQ(device.timeouts(), (CommTimeouts{0xFFFFFFFF, 0, 0, 0, GetParam().timeoutMs}));
}

INSTANTIATE_TEST_SUITE_P(Lengths, WriteTimeout,
                         ::testing::Values(TimeoutCase{1, 1004}, TimeoutCase{20, 1090}, TimeoutCase{3, 1013}),
                         [](const ::testing::TestParamInfo<TimeoutCase> &info) {
                             return "Bytes" + std::to_string(info.param.length);
                         });

TEST_F(Transmit, AWriteThatCompletesAtOnceIsDoneBeforeSendReturns)
{
    open();
    port->SendString("QZ\r");
    EXPECT_EQ(events, QStringList{"done 3"});
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(device.written(), "QZ\r");
}

TEST_F(Transmit, ASendWhileAWriteIsPendingIsRefused)
{
    open();
    device.holdWrites(true);
    port->SendString("O");
    EXPECT_TRUE(port->SendInProgress());
    port->SendString("H");
    EXPECT_EQ(reports, (std::vector<Report>{{901, 0, "Msg, dont enter SendData while SendInProgress is set"}}));
    device.finishWrite(1);
    run(100);
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(events, QStringList{"done 1"});
    EXPECT_EQ(device.written(), "O");
}

TEST_F(Transmit, AShortWriteIsReportedAsTimedOut)
{
    open();
    device.holdWrites(true);
    port->SendString("12345");
    device.finishWrite(2);
    run(100);
    EXPECT_EQ(port->WrittenBytes(), 2u);
    EXPECT_EQ(reports, (std::vector<Report>{{9701, ErrorTimeout, "Error write TimeOut"}}));
    EXPECT_EQ(events, QStringList{"done 2"});
}

TEST_F(Transmit, TheWatchdogGivesUpAfterItsLimit)
{
    open();
    device.holdWrites(true);
    device.fail(FakeCall::OverlappedResult, ErrorIoPending);
    port->SendString("slow");
    // Nothing transferred yet: the limit is the fixed 1000 ms.
    run(950);
    EXPECT_TRUE(port->SendInProgress());
    EXPECT_TRUE(reports.empty());
    run(200);
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(reports, (std::vector<Report>{{9701, ErrorIoPending, "Error write TimeOut"}}));
    EXPECT_EQ(events, QStringList{"done 0"});

    device.fail(FakeCall::OverlappedResult, NoError);
    device.holdWrites(false);
    port->SendString("next");
    EXPECT_EQ(device.written(), "next");
}

TEST_F(Transmit, SendingWhileClosedReportsTheInvalidHandle)
{
    port->SendString("L");
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(reports, (std::vector<Report>{{902, ErrorInvalidHandle, "Error setting CommTimeout"},
                                            {903, ErrorInvalidHandle, "Error writing Data"}}));
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(Transmit, AFailedWriteLeavesThePathFree)
{
    open();
    device.fail(FakeCall::Write, ErrorGenFailure, 1);
    device.fail(FakeCall::ResetEvent, ErrorInvalidHandle, 1);
    port->SendString("L");
    EXPECT_EQ(reports, (std::vector<Report>{{903, ErrorGenFailure, "Error writing Data"},
                                            {1101, ErrorInvalidHandle, "Error resetting Overlapped Event"}}));
    port->SendString("M");
    EXPECT_EQ(device.written(), "M");
}

TEST_F(Transmit, AFailedCompletionEndsTheWrite)
{
    open();
    device.holdWrites(true);
    port->SendString("L");
    device.fail(FakeCall::OverlappedResult, ErrorGenFailure, 1);
    run(100);
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(reports, (std::vector<Report>{{9702, ErrorGenFailure, "Error getting Overlapped Result"}}));
    EXPECT_EQ(events, QStringList{"done 0"});
}

TEST_F(Transmit, ClosingAbortsAPendingWriteAndTheWorkerStillGoesIdle)
{
    open();
    device.holdWrites(true);
    port->SendString("L");
    port->SetActive(false);
    run(500);
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_TRUE(reported(9702, ErrorOperationAborted));
    device.holdWrites(false);
    open();
    port->SendString("M");
    EXPECT_EQ(device.written(), "M");
}

} // namespace
