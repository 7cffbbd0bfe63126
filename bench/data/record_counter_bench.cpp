#include "data/header_walker.h"
#include "data/record_counter.h"

#include <QString>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype clusterSize = 4096;

// One measuring table of about `size` characters: header, data lines, closing text.
QString record(qsizetype size, int number)
{
    QString text = QStringLiteral("Method 1  Sample %1\r\n   ").arg(number) +
                   (number % 2 ? phHeader : mvHeader).toString() + QStringLiteral("\r\n");
    while (text.size() < size - 20)
        text += QStringLiteral("     1.000     0.100     3.45     0.01     0.100\r\n");
    return text + QStringLiteral("Titration end\r\n");
}

QString terminal(qsizetype size, int records)
{
    QString text;
    text.reserve(size + clusterSize);
    for (int number = 1; number <= records; ++number)
        text += record(size / records, number);
    return text;
}

// A received cluster that carries the beginning of a new table, header included.
QString cluster()
{
    return record(2 * clusterSize, 0).first(clusterSize);
}

void appendedCluster(benchmark::State &state)
{
    const QString base = terminal(state.range(0), static_cast<int>(state.range(1)));
    const QString grown = base + cluster();
    RecordCounter counter;
    counter.update(grown, 0);
    // Each pass takes back the cluster's header and finds it again, as for a fresh append.
    for (auto _ : state)
        benchmark::DoNotOptimize(counter.update(grown, base.size()));
    state.counters["records"] = counter.count();
    state.SetBytesProcessed(state.iterations() * clusterSize * 2);
}

void fullRecount(benchmark::State &state)
{
    const QString text = terminal(state.range(0), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(RecordCounter().update(text, 0));
    state.counters["records"] = countHeaders(text);
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

} // namespace

BENCHMARK(appendedCluster)->ArgNames({"chars", "records"})->Args({50'000, 10})->Args({50'000'000, 10'000});
BENCHMARK(fullRecount)->ArgNames({"chars", "records"})->Args({50'000'000, 10'000})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
