#include "commands/serial_key_port.h"

#include "serial/serial_port.h"

SerialKeyPort::SerialKeyPort(TSerialPort &port) : m_port(port) {}

bool SerialKeyPort::isOpen() const
{
    return m_port.Active();
}

QString SerialKeyPort::name() const
{
    return m_port.CommPort();
}

std::uint32_t SerialKeyPort::connection() const
{
    return m_port.OpenCount();
}

void SerialKeyPort::send(const QByteArray &keys)
{
    m_port.SendString(keys);
}
