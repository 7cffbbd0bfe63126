#include "tools/key_decoder.h"

namespace {

KeyPress::Key singleKey(char byte)
{
    switch (byte) {
    case 'L':
        return KeyPress::Reset;
    case '?':
        return KeyPress::Status;
    case 'O':
        return KeyPress::Run;
    case 'H':
        return KeyPress::Mode;
    case 'N':
        return KeyPress::PhCalibration;
    case 'M':
        return KeyPress::Buret;
    case 'P':
        return KeyPress::Save;
    case 'Y':
        return KeyPress::Keyboard;
    case '\r':
        return KeyPress::Enter;
    default:
        return KeyPress::Unknown;
    }
}

KeyPress::Key prefixedKey(char prefix)
{
    switch (prefix) {
    case 'I':
        return KeyPress::Const;
    case 'F':
        return KeyPress::ConstReagent;
    default:
        return KeyPress::Method;
    }
}

bool isPrefix(char byte)
{
    return byte == 'I' || byte == 'F' || byte == 'Q';
}

bool isEntryCharacter(char byte)
{
    return (byte >= '0' && byte <= '9') || byte == '.' || byte == '-';
}

} // namespace

std::vector<KeyPress> KeyDecoder::decode(const QByteArray &bytes)
{
    std::vector<KeyPress> keys;
    for (char byte : bytes)
        decodeByte(byte, keys);
    return keys;
}

void KeyDecoder::decodeByte(char byte, std::vector<KeyPress> &keys)
{
    if (m_prefix != 0) {
        const char prefix = m_prefix;
        m_prefix = 0;
        if (byte == 'Z') {
            keys.push_back({prefixedKey(prefix), 0});
            return;
        }
        keys.push_back({KeyPress::Unknown, prefix});
    }
    if (isPrefix(byte))
        m_prefix = byte;
    else if (isEntryCharacter(byte))
        keys.push_back({KeyPress::Digit, byte});
    else if (byte != '\n' && byte != '\0') {
        const KeyPress::Key key = singleKey(byte);
        keys.push_back({key, key == KeyPress::Unknown ? byte : '\0'});
    }
}
