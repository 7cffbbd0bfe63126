#include "serial/serial_port.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(SerialPort, OpeningAMissingPortLeavesItClosed)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    TSerialPort port;
    port.SetCommPort(QStringLiteral("/nonexistent/tty"));
    port.SetActive(true);
    EXPECT_FALSE(port.Active());
    EXPECT_EQ(port.ComHandle(), 4294967295u);
}
