#pragma once

#include "commands/key_port.h"

class TSerialPort;

/// The main window's serial port as the instrument commands use it.
class SerialKeyPort : public KeyPort
{
  public:
    explicit SerialKeyPort(TSerialPort &port);

    bool isOpen() const override;
    QString name() const override;
    std::uint32_t connection() const override;
    void send(const QByteArray &keys) override;

  private:
    TSerialPort &m_port;
};
