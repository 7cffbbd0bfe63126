#include "tools/instrument.h"
#include "tools/pseudo_terminal.h"
#include "tools/simulator_loop.h"

#include <QDate>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

namespace {

/// The simulator on a real pseudo-terminal, driven step by step from the test's thread,
/// with the test holding the other end the way the program's serial port does.
class SimulatorOnPty : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(terminal.open(2400, &error)) << error.toStdString();
    }

    void TearDown() override { closePort(); }

    void openPort(speed_t speed)
    {
        port = ::open(terminal.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(port, 0);
        termios settings{};
        ASSERT_EQ(::tcgetattr(port, &settings), 0);
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, speed);
        ::cfsetospeed(&settings, speed);
        ASSERT_EQ(::tcsetattr(port, TCSANOW, &settings), 0);
    }

    void closePort()
    {
        if (port >= 0)
            ::close(port);
        port = -1;
    }

    void send(const QByteArray &bytes) { ASSERT_EQ(::write(port, bytes.constData(), bytes.size()), bytes.size()); }

    /// Runs the simulator until the text has arrived, or for a bounded number of passes.
    QByteArray readUntil(const QByteArray &marker, int passes = 400)
    {
        QByteArray received;
        while (passes-- > 0 && (marker.isEmpty() || !received.contains(marker))) {
            loop.step(5);
            char buffer[4096];
            const ssize_t count = ::read(port, buffer, sizeof buffer);
            if (count > 0)
                received.append(buffer, count);
        }
        return received;
    }

    PseudoTerminal terminal;
    Instrument instrument{QDate(2026, 12, 7)};
    SimulatorLoop loop{terminal, instrument, 2400, 10000.0};
    int port = -1;
};

} // namespace

TEST_F(SimulatorOnPty, GreetsAndAnswersStatus)
{
    openPort(B2400);
    EXPECT_TRUE(readUntil("d.At 07").contains("DL25 TITRATOR"));
    send("?");
    EXPECT_TRUE(readUntil("SAMPLES").contains("STATUS DL25"));
}

TEST_F(SimulatorOnPty, TitrationTableArrivesWhole)
{
    openPort(B2400);
    readUntil("d.At");
    send("O0.2O1OO\r");
    const QByteArray text = readUntil("TITRATION END", 20000);
    EXPECT_EQ(text.count("mL           mL             pH           pH       pH/mL\r\n"), 1);
    EXPECT_TRUE(text.contains("Results   SAMPLE 1"));
}

TEST_F(SimulatorOnPty, PortAtAnotherSpeedHearsOnlyGarble)
{
    openPort(B9600);
    send("?");
    const QByteArray text = readUntil({}, 100);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_FALSE(text.contains("DL25"));
    EXPECT_FALSE(text.contains("STATUS"));
}

TEST_F(SimulatorOnPty, ClosedAndReopenedPortIsServedAgain)
{
    openPort(B2400);
    readUntil("d.At");
    send("2N");
    readUntil(" mV\r\n");
    closePort();
    readUntil({}, 20); // readings go into the void meanwhile
    openPort(B2400);
    send("L?");
    EXPECT_TRUE(readUntil("SAMPLES").contains("STATUS DL25"));
}

// Wine's comm layer reads the speed through plain termios and refuses a port it cannot name.
TEST_F(SimulatorOnPty, AFreshPortShowsTheInstrumentsSpeedToPlainTermios)
{
    const int fresh = ::open(terminal.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fresh, 0);
    termios settings{};
    EXPECT_EQ(::tcgetattr(fresh, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), speed_t{B2400});
    ::close(fresh);
}
