#pragma once

#include "analysis/equivalence_points.h"
#include "analysis/signal_unit.h"
#include "curve/curve_columns.h"
#include "results/received_record.h"
#include "results/run_log.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

class MethodFolder;

/// A cell whose shown value is not the value received.
struct CellEdit
{
    int row = 0; ///< 1 for the first data row
    int column = 0;
    QString received;
    QString shown;
};

/// Where a record read back from the results journal came from, and what was written about it
/// since: every output of such a record says so.
struct JournalSource
{
    QString uuid;
    QStringList marks; ///< "Amended in the journal", "Invalidated: ..."
    QStringList notes;
    QStringList signatures; ///< one line each, saying whether it covers the values shown
};

/// Everything the exports of one titration show: the result table as on screen, its curve and
/// equivalence points, and what is known about the sample and the method.
struct ResultRecord
{
    /// The table's cells, title row first.
    QList<QStringList> table;
    CurveColumns curve;
    SignalUnit unit = SignalUnit::pH;
    QList<EquivalencePoint> points;
    /// 0 when the data was selected by hand in the terminal.
    int recordNo = 0;
    /// Known when the record came from a run started here.
    std::optional<RunRecord> run;
    /// "Acid number (slot 7)"; empty when no method is known.
    QString method;
    /// When the export was asked for.
    QDateTime made;
    /// The record as it came over the line; null for a table that did not arrive in this session.
    std::shared_ptr<const ReceivedRecord> received;
    /// Cells shown with another value than the one received.
    QList<CellEdit> edits;
    /// The terminal's text of the table is no longer the text received.
    bool textEdited = false;
    /// Set when the record is a journal entry with its current values.
    std::optional<JournalSource> journal;

    bool edited() const { return textEdited || !edits.isEmpty(); }
    bool aborted() const { return received && received->aborted; }
    /// What every output says of the record beside its values: "Aborted", "Edited after reception".
    QStringList marks() const;
    /// The titrator's results block, line by line without its blank edges.
    QStringList titratorResultLines() const;

    /// "data record 3", "data selected by hand" or "journal entry <uuid>".
    QString sourceName() const;
    /// "Titration 2026-12-07 14-30-05 record 3" and the suffix, so the next sample gets a name
    /// of its own.
    QString defaultFileName(const QString &suffix) const;
    /// The sheet of results beside the table: the equivalence points, then the sample.
    QList<QStringList> resultRows() const;
    /// The sample as the run dialog gave it and when the run started; empty without a run.
    QList<QStringList> sampleRows() const;
    /// The journal entry, its notes and signatures; empty for a record not read from the journal.
    QList<QStringList> journalRows() const;
};

/// The data cells (title rows left out) that differ between the rows received and the rows shown;
/// a row or cell that only one of them has counts as empty in the other.
QList<CellEdit> cellEdits(const QList<QStringList> &received, const QList<QStringList> &shown);

/// The method last used from the folder: "Acid number (slot 7)", "slot 7" for a slot without a
/// method file, or empty when no slot was used.
QString methodDescription(const MethodFolder &folder);
/// The same for a method known by the name of its slot.
QString methodDescription(const QString &slotName, int slot);
