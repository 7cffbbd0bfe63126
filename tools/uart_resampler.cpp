#include "tools/uart_resampler.h"

#include <algorithm>

namespace {

constexpr int dataBits = 7;
constexpr int frameBits = 11; // start, 7 data, parity, 2 stop

int frameLevel(unsigned char character, int position)
{
    if (position == 0)
        return 0;
    if (position <= dataBits)
        return (character >> (position - 1)) & 1;
    if (position == dataBits + 1)
        return __builtin_popcount(character & 0x7F) & 1;
    return 1;
}

} // namespace

UartResampler::UartResampler(quint32 senderBaud, quint32 receiverBaud)
    : m_senderBit(2 * qint64(receiverBaud)), m_receiverBit(2 * qint64(senderBaud))
{
}

QByteArray UartResampler::convert(const QByteArray &bytes) const
{
    if (m_senderBit == 0 || m_receiverBit == 0)
        return {};
    QByteArray received;
    qint64 time = 0;
    for (;;) {
        const qint64 start = nextStartBit(bytes, time);
        if (start < 0)
            return received;
        received.append(sampleCharacter(bytes, start));
        // The receiver looks for the next start bit from the middle of the first stop bit.
        time = start + (dataBits + 2) * m_receiverBit + m_receiverBit / 2;
    }
}

int UartResampler::level(const QByteArray &bytes, qint64 time) const
{
    const qint64 bit = time / m_senderBit;
    if (bit >= bytes.size() * qint64(frameBits))
        return 1;
    return frameLevel(static_cast<unsigned char>(bytes[bit / frameBits]), static_cast<int>(bit % frameBits));
}

qint64 UartResampler::nextStartBit(const QByteArray &bytes, qint64 from) const
{
    const qint64 lastBit = bytes.size() * qint64(frameBits);
    for (qint64 bit = from / m_senderBit; bit < lastBit; ++bit)
        if (level(bytes, bit * m_senderBit) == 0)
            return std::max(from, bit * m_senderBit);
    return -1;
}

char UartResampler::sampleCharacter(const QByteArray &bytes, qint64 start) const
{
    int character = 0;
    for (int bit = 0; bit < dataBits; ++bit)
        character |= level(bytes, start + (bit + 1) * m_receiverBit + m_receiverBit / 2) << bit;
    return static_cast<char>(character);
}
