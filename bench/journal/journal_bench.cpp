#include "journal/journal.h"
#include "journal/sqlite_journal_connection.h"

#include "bench/benchmark_main.h"
#include "tests/journal/journal_samples.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr int JournalEntries = 100'000;
constexpr int FillBatch = 5'000;

/// Ten years of a busy bench in one journal file, filled once for every benchmark.
struct FilledJournal
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    Journal journal{std::make_unique<SqliteJournalConnection>(path)};
    qint64 receivedBytes = 0;

    FilledJournal()
    {
        journal.open();
        const QDateTime first(QDate(2015, 1, 1), QTime(7, 0), Qt::UTC);
        QList<JournalEntry> batch;
        for (int number = 0; number < JournalEntries; ++number) {
            batch.append(sampleEntry(number, first.addSecs(qint64(number) * 3150)));
            receivedBytes += batch.last().received.size();
            if (batch.size() == FillBatch) {
                journal.appendAll(batch);
                batch.clear();
            }
        }
    }

    double bytesPerEntry() const
    {
        const qint64 fileBytes = QFileInfo(path).size() + QFileInfo(path + "-wal").size();
        return double(fileBytes - receivedBytes) / double(journal.rowCount());
    }
};

FilledJournal &filled()
{
    static FilledJournal journal;
    return journal;
}

void BM_Append(benchmark::State &state)
{
    FilledJournal &journal = filled();
    int number = JournalEntries;
    for (auto _ : state) {
        if (!journal.journal.append(sampleEntry(number++, QDateTime::currentDateTimeUtc())).ok())
            state.SkipWithError("append failed");
    }
    state.counters["file_bytes_per_entry_beyond_received"] = journal.bytesPerEntry();
}

void BM_FirstPage(benchmark::State &state)
{
    FilledJournal &journal = filled();
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.journal.list({}).rows.size());
}

void BM_SearchMissingText(benchmark::State &state)
{
    FilledJournal &journal = filled();
    JournalFilter filter;
    filter.text = QStringLiteral("no such sample");
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.journal.list(filter).rows.size());
}

void BM_SearchSample(benchmark::State &state)
{
    FilledJournal &journal = filled();
    JournalFilter filter;
    filter.text = QStringLiteral("Sample 4711");
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.journal.list(filter).rows.size());
}

void BM_FilterMethodAndMonth(benchmark::State &state)
{
    FilledJournal &journal = filled();
    JournalFilter filter;
    filter.methodName = QStringLiteral("Method 7");
    filter.from = QDate(2019, 6, 1);
    filter.to = QDate(2019, 6, 30);
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.journal.list(filter).rows.size());
}

void BM_Verify(benchmark::State &state)
{
    FilledJournal &journal = filled();
    for (auto _ : state) {
        if (!journal.journal.verify().intact())
            state.SkipWithError("the chain does not verify");
    }
}

} // namespace

BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_FirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchMissingText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchSample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterMethodAndMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Verify)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
