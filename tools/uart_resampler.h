#pragma once

#include <QByteArray>
#include <QtGlobal>

/// What a receiver set to one speed makes of characters sent at another: the frames of
/// 7 data bits, even parity and 2 stop bits are laid out in time at the sender's speed
/// and sampled again at the receiver's, as a UART does.
class UartResampler
{
  public:
    UartResampler(quint32 senderBaud, quint32 receiverBaud);

    QByteArray convert(const QByteArray &bytes) const;

  private:
    int level(const QByteArray &bytes, qint64 time) const;
    qint64 nextStartBit(const QByteArray &bytes, qint64 from) const;
    char sampleCharacter(const QByteArray &bytes, qint64 start) const;

    // Time is counted in units of 1 / (2 * sender * receiver) seconds, so that both bit
    // lengths and the receiver's mid-bit sampling points are whole numbers.
    qint64 m_senderBit;
    qint64 m_receiverBit;
};
