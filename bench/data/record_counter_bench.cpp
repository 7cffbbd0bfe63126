#include "data/header_walker.h"
#include "data/record_counter.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype clusterSize = 4096;

// One measuring table of about `size` characters: header, data lines, closing text.
QByteArray record(qsizetype size, int number)
{
    QByteArray text = "Method 1  Sample " + QByteArray::number(number) + "\r\n   " +
                      (number % 2 ? phHeader : mvHeader).toByteArray() + "\r\n";
    while (text.size() < size - 20)
        text += "     1.000     0.100     3.45     0.01     0.100\r\n";
    return text + "Titration end\r\n";
}

QByteArray terminal(qsizetype size, int records)
{
    QByteArray text;
    text.reserve(size + clusterSize);
    for (int number = 1; number <= records; ++number)
        text += record(size / records, number);
    return text;
}

// A received cluster that carries the beginning of a new table, header included.
QByteArray cluster()
{
    return record(2 * clusterSize, 0).first(clusterSize);
}

void appendedCluster(benchmark::State &state)
{
    const QByteArray base = terminal(state.range(0), static_cast<int>(state.range(1)));
    const QByteArray grown = base + cluster();
    RecordCounter counter;
    counter.update(grown, 0);
    // Each pass takes back the cluster's header and finds it again, as for a fresh append.
    for (auto _ : state)
        benchmark::DoNotOptimize(counter.update(grown, base.size()));
    state.counters["records"] = counter.count();
    state.SetBytesProcessed(state.iterations() * clusterSize);
}

void fullRecount(benchmark::State &state)
{
    const QByteArray text = terminal(state.range(0), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(RecordCounter().update(text, 0));
    state.counters["records"] = countHeaders(text);
    state.SetBytesProcessed(state.iterations() * text.size());
}

} // namespace

BENCHMARK(appendedCluster)->ArgNames({"chars", "records"})->Args({50'000, 10})->Args({50'000'000, 10'000});
BENCHMARK(fullRecount)->ArgNames({"chars", "records"})->Args({50'000'000, 10'000})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
