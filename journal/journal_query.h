#pragma once

#include "journal/journal_current_values.h"
#include "journal/journal_entry.h"
#include "journal/journal_status.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

/// What the Journal window's list shows; empty fields do not filter.
struct JournalFilter
{
    QString text;       ///< part of the sample identification (current or earlier), method or result line
    QDate from;         ///< first day of the run start, local time
    QDate to;           ///< last day of the run start, local time
    QString methodName; ///< the whole name
    QString bench;      ///< the whole name
};

/// Where a page ends: the next page starts after this entry, newest first.
struct JournalCursor
{
    QString runStart; ///< as stored: ISO 8601 UTC with milliseconds
    qint64 seq = 0;
};

struct JournalListRow
{
    QString uuid;
    QDateTime runStart;
    QString methodName;
    QString resultLine;
    QString bench;
    JournalCurrentValues current; ///< sample, weight, points, state and signatures after the amendments
};

struct JournalPage
{
    JournalStatus status;
    QList<JournalListRow> rows;
    std::optional<JournalCursor> next; ///< empty on the last page
};
