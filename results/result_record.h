#pragma once

#include "analysis/equivalence_points.h"
#include "analysis/signal_unit.h"
#include "curve/curve_columns.h"
#include "results/run_log.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <optional>

class MethodFolder;

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

    /// "Titration 2026-12-07 14-30-05 record 3" and the suffix, so the next sample gets a name
    /// of its own.
    QString defaultFileName(const QString &suffix) const;
    /// The sheet of results beside the table: the equivalence points, then the sample.
    QList<QStringList> resultRows() const;
};

/// The method last used from the folder: "Acid number (slot 7)", "slot 7" for a slot without a
/// method file, or empty when no slot was used.
QString methodDescription(const MethodFolder &folder);
