#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

/// One measuring point as text: volume, increment, signal, change, derivative.
using DataRow = std::array<QString, 5>;

/// Splits a data block into rows. Runs of blanks separate fields; every other character up to
/// code 32 separates lines, and empty lines do not count. A line's text before its first blank run
/// is dropped (a data line starts with blanks), missing fields become " " and surplus ones are
/// ignored.
QList<DataRow> splitDataBlock(QStringView data);
