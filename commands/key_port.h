#pragma once

#include <QByteArray>
#include <QString>

/// What an instrument command needs of the serial port.
class KeyPort
{
  public:
    virtual ~KeyPort() = default;

    virtual bool isOpen() const = 0;
    virtual QString name() const = 0;

    /// Starts sending the bytes and returns at once; a string the port refuses is lost.
    virtual void send(const QByteArray &keys) = 0;
};
