#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// The titrator refuses a key by printing an error line, "E" and a digit at its start
/// ("E5 M5 EMPTY"). Returns the first such line of text from offset from on, without its line
/// break; the rest of a line that began before from is not looked at.
std::optional<QString> instrumentError(const QByteArray &text, qsizetype from);
