#pragma once

#include <QList>
#include <QStringList>

/// The result table as the curve reads it: volume (x), signal (curve) and derivative.
struct CurveColumns
{
    /// Rows 1 to max(rowCount, 1) of the table; row 1 is read even when no row is drawn.
    QList<double> volume;
    QList<double> signal;
    QList<double> derivative;
    /// The rows that are drawn (DataRowCount).
    qsizetype rowCount = 0;
};

/// Largest value of a column; 0 for a column without cells.
double GetRowMax(const QList<double> &column);
/// Smallest value of a column; 0 for a column without cells.
double GetRowMin(const QList<double> &column);

/// Columns 0 (volume), 2 (signal) and 4 (derivative) of the result table's cells (title row
/// first), rows 1 to max(rowCount, 1); a missing cell reads as 0.
CurveColumns readCurveColumns(const QList<QStringList> &cells, int rowCount);
