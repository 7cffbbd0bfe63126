#pragma once

#include "journal/journal_amendment.h"
#include "journal/journal_entry.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariant>

/// The canonical content of the journal's rows: compact JSON, keys in sorted order, times as
/// ISO 8601 UTC with milliseconds. Readable with any JSON tool; the received bytes stay out of
/// it and are named by their SHA-256.
class JournalCodec
{
  public:
    static QByteArray encode(const JournalEntry &entry, const QDateTime &recordedAt);
    static QByteArray encode(const JournalAmendment &amendment);
    static JournalEntry decodeEntry(const QByteArray &content, const QByteArray &received);
    static JournalAmendment decodeAmendment(const QByteArray &content);

    /// The searchable columns, in the order every query names them; "kind" first.
    static const QStringList &columnNames();
    /// The searchable columns' values, read from the content alone; empty when it is no row's content.
    static QList<QVariant> columnsOf(const QByteArray &content);

    static QString timeText(const QDateTime &time);
    /// "1234 0001 ..." in group order; a digit outside 0 to 9 makes its group "1,10,0,2".
    static QString modeCodesText(const std::array<ModeCode, 12> &codes);
    static QDateTime timeFrom(const QString &text);
    static QString kindName(JournalAmendment::Kind kind);
    static JournalEntry::State stateFrom(const QString &name);
};
