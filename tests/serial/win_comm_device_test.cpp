#include "serial/platform/win_comm_driver.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>
#include <thread>

using namespace comm;

namespace {

constexpr qint64 EchoWaitMs = 5000;

/// A real port, named by KORVANE_TEST_COM, whose other end echoes what it gets.
class WinCommDeviceTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const QString port = qEnvironmentVariable("KORVANE_TEST_COM");
        if (port.isEmpty())
            GTEST_SKIP() << "KORVANE_TEST_COM names no port";
        uint32_t error = NoError;
        device = driver.open(port, error);
        ASSERT_TRUE(device) << "open " << port.toStdString() << ": error " << error;
    }

    void setLine()
    {
        // The default settings are 9600 8N1.
        ASSERT_EQ(device->setCommState(Dcb{}), NoError);
        // Reads return at once with what has come.
        ASSERT_EQ(device->setCommTimeouts({0xFFFFFFFF, 0, 0, 0, 0}), NoError);
    }

    void send(const QByteArray &bytes)
    {
        uint32_t written = 0;
        uint32_t error = device->write(bytes.constData(), static_cast<uint32_t>(bytes.size()), written);
        Op signalled = Op::Read;
        if (error == ErrorIoPending && device->waitEvents(opBit(Op::Write), EchoWaitMs, signalled) == NoError)
            error = device->overlappedResult(Op::Write, written);
        ASSERT_EQ(error, NoError);
        EXPECT_EQ(written, static_cast<uint32_t>(bytes.size()));
    }

    /// Waits for received-character events and reads until count bytes came or the time is up.
    QByteArray receive(int count)
    {
        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        bool waiting = false;
        while (received.size() < count && !clock.hasExpired(EchoWaitMs)) {
            if (!waiting) {
                const uint32_t error = device->waitCommEvent(events);
                EXPECT_TRUE(error == NoError || error == ErrorIoPending) << error;
                waiting = error == ErrorIoPending;
            }
            Op signalled = Op::Read;
            if (waiting && device->waitEvents(opBit(Op::Status), 100, signalled) == NoError)
                waiting = false;
            char buffer[64];
            uint32_t got = 0;
            EXPECT_EQ(device->read(buffer, sizeof buffer, got), NoError);
            received.append(buffer, got);
        }
        return received;
    }

    WinCommDriver driver;
    std::shared_ptr<CommDevice> device;
    // Filled in by a pending event wait, so it lives as long as the device.
    uint32_t events = 0;
};

TEST_F(WinCommDeviceTest, LineSettingsReadBackAsSet)
{
    setLine();
    Dcb back;
    back.baudRate = 0;
    back.byteSize = 0;
    back.parity = MarkParity;
    back.stopBits = TwoStopBits;
    ASSERT_EQ(device->getCommState(back), NoError);
    EXPECT_EQ(back.baudRate, 9600u);
    EXPECT_EQ(back.byteSize, 8);
    EXPECT_EQ(back.parity, NoParity);
    EXPECT_EQ(back.stopBits, OneStopBit);
}

TEST_F(WinCommDeviceTest, EchoComesBackAndCloseEndsTheDevice)
{
    setLine();
    ASSERT_EQ(device->purge(PurgeRxClear | PurgeTxClear), NoError);
    ASSERT_EQ(device->setCommMask(EvRxChar), NoError);
    send("PING\r\n");
    EXPECT_EQ(receive(6), QByteArray("PING\r\n"));

    // A worker waiting on the device when it closes ends its wait, whichever comes first.
    ASSERT_EQ(device->resetEvent(Op::Write), NoError);
    uint32_t waited = NoError;
    std::thread worker([&] {
        Op signalled = Op::Read;
        waited = device->waitEvents(opBit(Op::Write), 10000, signalled);
    });
    EXPECT_EQ(device->close(), NoError);
    worker.join();
    EXPECT_EQ(waited, WaitFailed);
    char buffer[8];
    uint32_t got = 0;
    EXPECT_EQ(device->read(buffer, sizeof buffer, got), ErrorInvalidHandle);
    EXPECT_EQ(device->handle(), InvalidHandle);
}

TEST(WinCommDriverTest, AbsentPortFailsAsNotFoundAndIsNamed)
{
    WinCommDriver driver;
    for (const QString &name : {QStringLiteral("COM250"), QStringLiteral("COM257"), QStringLiteral("LPT1")}) {
        uint32_t error = NoError;
        EXPECT_FALSE(driver.open(name, error)) << name.toStdString();
        EXPECT_EQ(error, ErrorFileNotFound) << name.toStdString();
        EXPECT_TRUE(driver.openFailure(name, error).contains(name)) << driver.openFailure(name, error).toStdString();
    }
    EXPECT_FALSE(driver.deviceExists(QStringLiteral("COM250")));
    EXPECT_TRUE(driver.deviceIdentity(QStringLiteral("com250")).isEmpty());
}

} // namespace
