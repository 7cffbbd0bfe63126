#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

/// Comma-separated values as RFC 4180 has them: UTF-8, CR LF after every record, a field quoted
/// when it holds a comma, a quote, a line break or blanks at its ends. A cell that holds a number
/// is written as that number with "." as decimal point and no quotes; a blank cell as an empty field.
QByteArray csvText(const QList<QStringList> &rows);
