#pragma once

#include "analysis/signal_unit.h"
#include "data/record_counter.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The terminal text is 8-bit Windows-1252; these work on its bytes.

/// Characters a measuring table's data lines are made of: digits, ",", "-", ".", "E", blank, CR, LF.
bool isDataChar(char c);

/// End (exclusive) of the run of data characters that starts at `from`.
qsizetype dataBlockEnd(QByteArrayView text, qsizetype from);

/// A line the instrument writes that the record data leaves out, in any letter case.
inline constexpr QByteArrayView readBufferText = "Read Buffer:";

/// Start of the first "Read Buffer:" (any letter case) at or after `from`, or -1.
qsizetype findReadBuffer(QByteArrayView text, qsizetype from);

/// The text with every "Read Buffer:" removed, in any letter case, in one left-to-right pass.
QByteArray removeReadBuffer(QByteArrayView text);

/// The data block of a record and the unit its header names.
struct RecordBlock
{
    QByteArray data;
    SignalUnit unit = SignalUnit::pH;
};

/// The data block that follows the header of record `recordNo` (1-based) in the terminal text, once
/// "Read Buffer:" is removed; nothing when that text holds fewer records.
std::optional<RecordBlock> recordBlock(QByteArrayView terminalText, int recordNo);
std::optional<QByteArray> recordData(QByteArrayView terminalText, int recordNo);

/// The same, with `records` counted over the terminal text as it stands: costs what the record
/// takes while no "Read Buffer:" stands before its header, else what the text takes.
std::optional<RecordBlock> recordBlock(QByteArrayView terminalText, const RecordCounter &records, int recordNo);
std::optional<QByteArray> recordData(QByteArrayView terminalText, const RecordCounter &records, int recordNo);
