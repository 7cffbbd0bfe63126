#include "results/journal/result_statistics.h"

#include <QRegularExpression>

#include <cmath>

ResultStatistics resultStatistics(const QList<double> &values)
{
    ResultStatistics statistics;
    statistics.n = values.size();
    if (values.isEmpty())
        return statistics;
    double sum = 0.0;
    for (double value : values)
        sum += value;
    statistics.mean = sum / double(values.size());
    if (values.size() < 2)
        return statistics;
    double squares = 0.0;
    for (double value : values)
        squares += (value - statistics.mean) * (value - statistics.mean);
    statistics.standardDeviation = std::sqrt(squares / double(values.size() - 1));
    if (statistics.mean != 0.0)
        statistics.relativeStandardDeviation = 100.0 * statistics.standardDeviation / std::abs(statistics.mean);
    return statistics;
}

std::optional<double> titratorFirstResult(const QString &resultsBlock)
{
    static const QRegularExpression number(QStringLiteral(R"([-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
    for (const QString &line : resultsBlock.split(QLatin1Char('\n'))) {
        if (!line.contains(QLatin1String("R1")))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            return std::nullopt;
        const QRegularExpressionMatch match = number.match(line, equals + 1);
        if (!match.hasMatch())
            return std::nullopt;
        return match.captured(0).toDouble();
    }
    return std::nullopt;
}

namespace {

QString statisticsLine(const QString &name, const ResultStatistics &statistics)
{
    QString line = QStringLiteral("%1: n = %2, mean = %3").arg(name).arg(statistics.n).arg(statistics.mean, 0, 'g', 6);
    if (statistics.n < 2)
        return line + QStringLiteral(" (a standard deviation needs two values)");
    return line + QStringLiteral(", s = %1, RSD = %2 %")
                      .arg(statistics.standardDeviation, 0, 'g', 4)
                      .arg(statistics.relativeStandardDeviation, 0, 'f', 3);
}

} // namespace

QString comparisonText(const QList<JournalEntryHistory> &entries)
{
    QList<double> volumes;
    QList<double> results;
    QStringList withoutPoint;
    QStringList withoutResult;
    for (const JournalEntryHistory &history : entries) {
        if (history.current.equivalencePoints.isEmpty())
            withoutPoint.append(history.current.sampleId);
        else
            volumes.append(history.current.equivalencePoints.first().volume);
        if (const std::optional<double> result = titratorFirstResult(history.entry.resultsBlock))
            results.append(*result);
        else
            withoutResult.append(history.current.sampleId);
    }
    QStringList lines{QStringLiteral("%1 entries compared.").arg(entries.size())};
    if (!volumes.isEmpty())
        lines.append(statisticsLine(QStringLiteral("First equivalence volume / ml"), resultStatistics(volumes)));
    if (!withoutPoint.isEmpty())
        lines.append(QStringLiteral("Without an equivalence point: %1").arg(withoutPoint.join(QStringLiteral(", "))));
    if (!results.isEmpty())
        lines.append(statisticsLine(QStringLiteral("Titrator's first result (R1)"), resultStatistics(results)));
    if (!withoutResult.isEmpty())
        lines.append(
            QStringLiteral("Without a titrator's R1 result: %1").arg(withoutResult.join(QStringLiteral(", "))));
    return lines.join(QLatin1Char('\n'));
}
