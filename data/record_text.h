#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// Characters a measuring table's data lines are made of: digits, ",", "-", ".", "E", blank, CR, LF.
bool isDataChar(QChar c);

/// End (exclusive) of the run of data characters that starts at `from`.
qsizetype dataBlockEnd(QStringView text, qsizetype from);

/// The text with every "Read Buffer:" removed, in any letter case, in one left-to-right pass.
QString removeReadBuffer(QStringView text);

/// The data block that follows the header of record `recordNo` (1-based) in the terminal text, once
/// "Read Buffer:" is removed; nothing when that text holds fewer records.
std::optional<QString> recordData(QStringView terminalText, int recordNo);
