#pragma once

#include <QByteArray>
#include <QString>

// The instrument, the terminal files, the method files and the worksheet all carry 8-bit
// Windows-1252 text; these two functions are the only place where it meets QString.
namespace cp1252 {

/// Every byte maps to one character; the five bytes Windows-1252 leaves undefined map to
/// the C1 control of the same value, so decoding and encoding again gives back the bytes.
QString decode(const QByteArray &bytes);

/// Characters outside Windows-1252 become '?'.
QByteArray encode(const QString &text);

} // namespace cp1252
