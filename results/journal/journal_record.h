#pragma once

#include "analysis/signal_unit.h"
#include "curve/curve_columns.h"
#include "journal/journal_history.h"
#include "results/result_record.h"

#include <QDateTime>

// A journal entry read back as the record the main window's pages and exports show.

/// The entry's measuring table without its title row.
QList<QStringList> entryDataRows(const JournalEntry &entry);
/// The unit its received header names; guessed from the signals when the header says none.
SignalUnit entryUnit(const JournalEntry &entry);
/// The table as the curve reads it.
CurveColumns entryCurve(const JournalEntry &entry);

/// The entry with its current sample, weight and equivalence points, its received bytes and
/// titrator's results, marked as coming from the journal with its notes and signatures.
ResultRecord journalRecord(const JournalEntryHistory &history, const QDateTime &made);

/// "Reviewed by anna at 2024-03-01 10:00:00 (comment): covers the current values"
QString signatureLine(const JournalSignatureState &signature);
/// A journal time as the journal's windows show it: local, to the second.
QString journalTimeText(const QDateTime &time);
