#pragma once

#include <QByteArray>

#include <vector>

/// A key of the titrator's keypad as it arrives over the serial line.
struct KeyPress
{
    enum Key {
        Digit,
        Reset,
        Status,
        Run,
        Mode,
        PhCalibration,
        Buret,
        Const,
        ConstReagent,
        Save,
        Method,
        Keyboard,
        Enter,
        Unknown
    };
    Key key = Unknown;
    /// The typed character of a Digit: 0 to 9, the point or the minus sign.
    char character = 0;

    bool operator==(const KeyPress &) const = default;
};

/// Turns received bytes into key presses. CONST, CONST REAG and METHOD are two-character
/// keys whose second character may come in a later read.
class KeyDecoder
{
  public:
    std::vector<KeyPress> decode(const QByteArray &bytes);

  private:
    void decodeByte(char byte, std::vector<KeyPress> &keys);

    char m_prefix = 0;
};
