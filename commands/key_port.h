#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

/// What an instrument command needs of the serial port.
class KeyPort
{
  public:
    virtual ~KeyPort() = default;

    virtual bool isOpen() const = 0;
    virtual QString name() const = 0;
    /// Moves on each time the port opens: a command that sees it change knows that its line was
    /// closed in between, however quickly the device came back.
    virtual std::uint32_t connection() const = 0;

    /// Starts sending the bytes and returns at once; a string the port refuses is lost.
    virtual void send(const QByteArray &keys) = 0;
};
