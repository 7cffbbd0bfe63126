#include "serial/connection_summary.h"

#include "serial/serial_port.h"

#include <array>

QString connectionSummary(const TSerialPort &port)
{
    static const std::array<QString, 5> parity = {"N", "O", "E", "M", "S"};
    static const std::array<QString, 3> stopBits = {"1", "1.5", "2"};
    const auto code = [](const auto &names, uint8_t value) { return value < names.size() ? names[value] : "?"; };
    const QString state = port.Active() ? "open" : port.Lost() ? "lost" : "closed";
    return QStringLiteral("%1 %2 %3%4%5 %6")
        .arg(port.CommPort())
        .arg(port.BaudRate())
        .arg(port.DataBits())
        .arg(code(parity, port.ParityType()), code(stopBits, port.StopBits()), state);
}

QString reconnectRefusedMessage(const TSerialPort &port)
{
    return QStringLiteral("Port %1 not reconnected: another device is there now (%2; it was %3) - waiting for the device")
        .arg(port.CommPort(), port.RefusedDevice(), port.KnownDevice());
}

QString notOpenMessage(const QString &portName)
{
    return QStringLiteral("Port %1 is not open - command not sent").arg(portName);
}
