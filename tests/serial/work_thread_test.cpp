#include "serial_fixture.h"

#include <functional>

using namespace comm;

namespace {

class Worker : public SerialFixture
{
  protected:
    void SetUp() override
    {
        SerialFixture::SetUp();
        watchClusters();
    }

    void watchClusters()
    {
        port->OnRxClusterEvent = [this](TSerialPort *) {
            clusterTimes.push_back(clock->elapsed());
            clusters.append(port->ReadNextCluster());
        };
    }

    /// The main window's receive settings.
    void useMainWindowSettings()
    {
        port->SetBaudRate(2400);
        port->SetRTOCharDelayTime(4500);
        port->SetClusterSize(4096);
    }

    /// Time passes without the main loop: the worker is left waiting to hand a cluster over.
    void leaveWorkerHandingOver(const QByteArray &bytes)
    {
        port->SetClusterSize(0);
        open();
        device.receive(bytes);
        clock->advance(10);
        ASSERT_GT(clock->parked(), 0);
    }

    QList<QByteArray> clusters;
    std::vector<uint64_t> clusterTimes;
};

TEST_F(Worker, NoBytesNoCluster)
{
    open();
    run(2000);
    EXPECT_TRUE(clusters.isEmpty());
}

// A short fixed allowance, so the quiet line comes before the longest wait of a byte.
TEST_F(Worker, AReplyBecomesOneClusterOnceTheLineHasBeenQuietLongEnough)
{
    useMainWindowSettings();
    port->SetRTOExtraDelayTime(100);
    open();
    const uint64_t start = clock->elapsed();
    device.receive(QByteArray(20, 'x'), 0, 4167);
    run(1500);
    ASSERT_EQ(clusters, QList<QByteArray>{QByteArray(20, 'x')});
    // 20 x 4.5 ms + 100 ms after the queue was last seen empty (at most one pass before the
    // first byte), read at the first pass after that.
    EXPECT_GT(clusterTimes[0], start + 190 - 75);
    EXPECT_LE(clusterTimes[0], start + 190 + 75);
}

// Opened at once after creation, maybe before the worker's first pass: its quiet-line clock
// still starts at the opening, not at some earlier time, so the reply is not cut early.
TEST_F(Worker, TheFirstReplyAfterOpeningIsHeldUntilTheLineIsQuiet)
{
    useMainWindowSettings();
    port->SetRTOExtraDelayTime(100);
    port->SetActive(true);
    const uint64_t opened = clock->elapsed();
    device.receive(QByteArray(20, 'x'), 0, 4167);
    run(1500);
    ASSERT_EQ(clusters, QList<QByteArray>{QByteArray(20, 'x')});
    EXPECT_GT(clusterTimes[0], opened + 190);
}

// A listing printed without pauses at 2400 baud 7E2 (4583 us a character) outruns the main
// window's 4500 us allowance: the quiet line never comes, so no byte may wait past 250 ms.
TEST_F(Worker, AContinuousListingIsHandedOverWhileItComes)
{
    useMainWindowSettings();
    open();
    const uint64_t start = clock->elapsed();
    QByteArray listing;
    for (int line = 0; line < 200; ++line)
        listing += QByteArray::number(line).rightJustified(40, ' ') + "\r\n";
    device.receive(listing, 0, 4583);
    run(10000);
    EXPECT_EQ(clusters.join(), listing.left(clusters.join().size()));
    ASSERT_GE(clusters.size(), 30);
    // Each cluster leaves when its first byte has waited 250 ms, so it holds the bytes of about
    // that long and the next starts right after it.
    EXPECT_GE(clusterTimes[0], start + 250);
    for (size_t i = 0; i + 1 < clusterTimes.size(); ++i) {
        EXPECT_LE(clusterTimes[i + 1] - clusterTimes[i], 250u + 10) << "cluster " << i + 1;
        EXPECT_LE(clusters[int(i)].size(), 250 * 1000 / 4583 + 2) << "cluster " << i;
    }
}

TEST_F(Worker, ClusterSizeReadsAtOnceAndTakesEverythingWaiting)
{
    port->SetClusterSize(10);
    open();
    device.receive(QByteArray(15, 'y'));
    run(5);
    EXPECT_EQ(clusters, QList<QByteArray>{QByteArray(15, 'y')});
}

TEST_F(Worker, ClusterSizeZeroReadsEveryPassThatFindsBytes)
{
    port->SetClusterSize(0);
    open();
    device.receive("a");
    run(5);
    device.receive("b");
    run(5);
    EXPECT_EQ(clusters, (QList<QByteArray>{"a", "b"}));
}

TEST_F(Worker, ReadRequestReadsWhatWaitsAndThenClears)
{
    open();
    port->SetReadRequest(true);
    run(200);
    EXPECT_TRUE(port->ReadRequest());
    device.receive("abc");
    run(5);
    EXPECT_EQ(clusters, QList<QByteArray>{"abc"});
    EXPECT_FALSE(port->ReadRequest());
}

TEST_F(Worker, LineErrorsForceARead)
{
    uint32_t seenErrors = 0;
    port->OnCommStat = [&](TSerialPort *) { seenErrors |= port->CommError(); };
    open();
    device.receive("bad");
    device.raiseLineErrors(CeFrame);
    run(5);
    EXPECT_EQ(clusters, QList<QByteArray>{"bad"});
    EXPECT_EQ(seenErrors, CeFrame);
}

TEST_F(Worker, LineErrorsSeenWhileWaitingStillForceARead)
{
    open();
    device.raiseLineErrors(CeRxParity);
    run(5);
    device.receive("late");
    run(5);
    EXPECT_EQ(clusters, QList<QByteArray>{"late"});
}

TEST_F(Worker, AReadWithoutBytesStillGivesACluster)
{
    port->OnRxClusterEvent = [this](TSerialPort *) { clusterTimes.push_back(clock->elapsed()); };
    open();
    device.holdReads(true);
    device.receive("abc");
    port->SetReadRequest(true);
    run(5);
    EXPECT_TRUE(clusterTimes.empty());
    device.holdReads(false);
    device.finishRead({});
    run(5);
    EXPECT_EQ(clusterTimes.size(), 2u);
    EXPECT_EQ(port->NextClusterSize(), 0);
    EXPECT_EQ(port->ReadNextCluster(), QByteArray());
    EXPECT_EQ(port->ReadNextCluster(), "abc");
    EXPECT_EQ(port->NextClusterSize(), -1);
}

TEST_F(Worker, UnreadClustersCollectInOrder)
{
    port->OnRxClusterEvent = nullptr;
    port->SetClusterSize(0);
    open();
    for (const char *text : {"one", "two", "three"}) {
        device.receive(text);
        run(5);
    }
    EXPECT_EQ(port->NextClusterSize(), 3);
    EXPECT_EQ(port->ReadNextCluster(), "one");
    EXPECT_EQ(port->ReadNextCluster(), "two");
    EXPECT_EQ(port->ReadNextCluster(), "three");
}

TEST_F(Worker, CharacterEventsComeBeforeTheirCluster)
{
    port->SetClusterSize(0);
    port->OnRxCharEvent = [this](TSerialPort *) {
        EXPECT_NE(port->CommEvent(), 0u);
        events.append("char");
    };
    port->OnRxClusterEvent = [this](TSerialPort *) { events.append("cluster:" + port->ReadNextCluster()); };
    open();
    device.receive("k");
    run(5);
    EXPECT_EQ(events, (QStringList{"char", "cluster:k"}));
}

TEST_F(Worker, CommEventsAreRaisedInTheirOrder)
{
    record(port->OnBreakEvent, "break");
    record(port->OnCTSEvent, "cts");
    record(port->OnDSREvent, "dsr");
    record(port->OnLineErrorEvent, "error");
    record(port->OnRingEvent, "ring");
    record(port->OnRLSDEvent, "rlsd");
    record(port->OnRxCharEvent, "char");
    record(port->OnRxEventCharEvent, "flag");
    record(port->OnTxQueueEmptyEvent, "txempty");
    record(port->OnCommEvent, "comm");
    open();
    device.setModemStatus(MsCtsOn | MsDsrOn | MsRlsdOn);
    run(1);
    EXPECT_EQ(events, (QStringList{"cts", "dsr", "rlsd", "comm"}));
    EXPECT_TRUE(port->CTSState());
    EXPECT_TRUE(port->DSRState());
    EXPECT_TRUE(port->RLSDState());
    EXPECT_EQ(port->CommEvent(), EvCts | EvDsr | EvRlsd);

    events.clear();
    device.raiseEvents(EvAll);
    run(1);
    EXPECT_EQ(events, (QStringList{"break", "cts", "dsr", "error", "ring", "rlsd", "char", "flag", "txempty", "comm"}));
    EXPECT_EQ(port->CommEvent(), EvAll);
}

TEST_F(Worker, RingChangesSeenByThePollRaiseRingOnThatPlatform)
{
    driver->setPlatformId(1);
    createPort();
    watchClusters();
    record(port->OnRingEvent, "ring");
    record(port->OnCommEvent, "comm");
    open();
    device.setModemStatus(MsRingOn);
    run(100);
    events.clear();
    device.setModemStatus(0);
    run(100);
    EXPECT_EQ(events, (QStringList{"ring", "comm"}));
    EXPECT_EQ(port->CommEvent(), EvRing);
    EXPECT_FALSE(port->RingState());
}

TEST_F(Worker, StatusChangesRaiseCommStat)
{
    record(port->OnCommStat, "stat");
    open();
    device.setOutQueue(12);
    run(100);
    EXPECT_EQ(events, QStringList{"stat"});
    EXPECT_EQ(port->CommStateOutQueue(), 12u);
}

TEST_F(Worker, ClosingWithAReadPendingReportsItAbortedAndGoesIdle)
{
    open();
    device.holdReads(true);
    device.receive("abc");
    port->SetReadRequest(true);
    run(5);
    port->SetActive(false);
    run(500);
    EXPECT_TRUE(reported(9907, ErrorOperationAborted));
    device.holdReads(false);
    port->SetActive(true);
    device.receive("ok");
    port->SetReadRequest(true);
    run(300);
    EXPECT_EQ(clusters, QList<QByteArray>{"ok"});
}

TEST_F(Worker, ARefusedEventWaitKeepsThePassesPaced)
{
    open();
    device.fail(FakeCall::WaitCommEvent, ErrorGenFailure);
    device.raiseEvents(EvRxFlag);
    run(1);
    const int before = device.calls(FakeCall::WaitCommEvent);
    run(750);
    const int refused = device.calls(FakeCall::WaitCommEvent) - before;
    EXPECT_GE(refused, 9);
    EXPECT_LE(refused, 11);
}

TEST_F(Worker, DestructionWhileTheWorkerWaitsForTheMainThreadEndsCleanly)
{
    leaveWorkerHandingOver("late");
    port.reset();
    EXPECT_TRUE(clusters.isEmpty());
    EXPECT_TRUE(reports.empty());
}

TEST_F(Worker, ClosingWhileTheWorkerWaitsForTheMainThreadWarnsAndGoesOn)
{
    leaveWorkerHandingOver("x");
    port->SetActive(false);
    EXPECT_TRUE(reported(104, 0));
    EXPECT_FALSE(port->Active());
    run(10);
    EXPECT_EQ(clusters, QList<QByteArray>{"x"});
}

TEST_F(Worker, AFailedSignalWhileWindingDownIsReported)
{
    open();
    device.fail(FakeCall::SignalEvent, ErrorInvalidHandle);
    device.fail(FakeCall::SetCommMask, ErrorGenFailure, 1);
    port->SetActive(false);
    run(500);
    EXPECT_TRUE(reported(1101, ErrorInvalidHandle));
    device.fail(FakeCall::SignalEvent, NoError);
    open();
    device.receive("ok");
    port->SetReadRequest(true);
    run(100);
    EXPECT_EQ(clusters, QList<QByteArray>{"ok"});
}

// Each worker failure is reported under its place and reception goes on afterwards.
struct WorkerFailure
{
    const char *name;
    FakeCall call;
    uint32_t code;
    uint32_t place;
    std::function<void(FakeCommDevice &, TSerialPort &)> setUp;
};

class WorkerFailures : public Worker, public ::testing::WithParamInterface<WorkerFailure>
{
};

void holdARead(FakeCommDevice &device, TSerialPort &port)
{
    device.holdReads(true);
    device.receive("held");
    port.SetReadRequest(true);
}

TEST_P(WorkerFailures, AreReportedAndReceptionGoesOn)
{
    const WorkerFailure &failure = GetParam();
    port->SetClusterSize(0);
    open();
    if (failure.setUp) {
        failure.setUp(device, *port);
        run(100);
        device.holdReads(false);
    }
    device.fail(failure.call, failure.code, 1);
    if (failure.call == FakeCall::OverlappedResult)
        device.finishRead("held");
    device.receive("ok");
    run(300);
    EXPECT_TRUE(reported(failure.place, failure.code)) << failure.name;
    device.fail(FakeCall::WaitCommEvent, NoError);
    device.holdReads(false);
    port->SetReadRequest(true);
    device.receive("on");
    run(300);
    EXPECT_TRUE(clusters.contains("on") || clusters.contains("okon")) << failure.name;
}

INSTANTIATE_TEST_SUITE_P(
    Places, WorkerFailures,
    ::testing::Values(WorkerFailure{"clearCommError", FakeCall::ClearCommError, ErrorGenFailure, 9803, nullptr},
                      WorkerFailure{"read", FakeCall::Read, ErrorGenFailure, 9804, nullptr},
                      WorkerFailure{"modemStatus", FakeCall::GetModemStatus, ErrorGenFailure, 9905, nullptr},
                      WorkerFailure{"commWait", FakeCall::WaitCommEvent, ErrorGenFailure, 9907, nullptr},
                      WorkerFailure{"readResult", FakeCall::OverlappedResult, ErrorGenFailure, 9908, holdARead},
                      WorkerFailure{"waitBoth", FakeCall::WaitEvents, WaitFailed, 9911, holdARead},
                      WorkerFailure{"waitRead", FakeCall::WaitEvents, WaitFailed, 9912,
                                    [](FakeCommDevice &device, TSerialPort &port) {
                                        device.fail(FakeCall::WaitCommEvent, ErrorGenFailure);
                                        holdARead(device, port);
                                    }},
                      WorkerFailure{"waitStatus", FakeCall::WaitEvents, WaitFailed, 9913, nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
