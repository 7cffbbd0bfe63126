#pragma once

#include "journal/journal_history.h"

#include <QList>
#include <QString>

#include <optional>

/// The spread of repeated results; the standard deviation is the sample one (n - 1).
struct ResultStatistics
{
    qsizetype n = 0;
    double mean = 0.0;
    double standardDeviation = 0.0;         ///< 0 for fewer than two values
    double relativeStandardDeviation = 0.0; ///< in per cent of the mean; 0 when the mean is 0
};

ResultStatistics resultStatistics(const QList<double> &values);

/// The titrator's first result: the first number after "=" on the first line that names R1.
/// Empty when no line names R1 or that line has no number after "=".
std::optional<double> titratorFirstResult(const QString &resultsBlock);

/// What "Compare" shows for the entries: the statistics of their first equivalence volume and of
/// the titrator's first result, and which entries had neither.
QString comparisonText(const QList<JournalEntryHistory> &entries);
