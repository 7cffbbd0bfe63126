#include "journal/journal.h"
#include "journal/journal_codec.h"
#include "journal/journal_row.h"
#include "journal/postgres_journal_connection.h"
#include "journal/sqlite_journal_connection.h"

#include "bench/benchmark_main.h"
#include "results/journal/journal_window.h"
#include "tests/journal/journal_samples.h"
#include "tests/support/fake_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int FillBatch = 5'000;

/// A journal filled once for all its benchmarks: one titration every 52 minutes from 2015 on,
/// spread over the given benches.
struct FilledJournal
{
    Journal journal;
    qint64 receivedBytes = 0;

    FilledJournal(std::unique_ptr<JournalConnection> connection, int entries, int benches)
        : journal(std::move(connection))
    {
        if (const JournalStatus status = journal.open(); !status.ok())
            std::fprintf(stderr, "%s\n", qPrintable(status.message));
        const QDateTime first(QDate(2015, 1, 1), QTime(7, 0), Qt::UTC);
        QElapsedTimer fill;
        fill.start();
        QList<JournalEntry> batch;
        // A server journal left by an earlier run is used again as it is.
        for (int number = int(journal.rowCount()); number < entries; ++number) {
            batch.append(sampleEntry(number, first.addSecs(qint64(number) * 3150)));
            batch.last().bench = QStringLiteral("bench-%1").arg(number % benches);
            receivedBytes += batch.last().received.size();
            if (batch.size() == FillBatch || number + 1 == entries) {
                journal.appendAll(batch);
                batch.clear();
            }
        }
        std::fprintf(stderr, "filled %d entries in %.1f s\n", entries, double(fill.elapsed()) / 1000.0);
    }
};

struct SqliteJournal
{
    static constexpr int Entries = 100'000;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    FilledJournal filled{std::make_unique<SqliteJournalConnection>(path), Entries, 1};

    double bytesPerEntry() const
    {
        const qint64 fileBytes = QFileInfo(path).size() + QFileInfo(path + "-wal").size();
        return double(fileBytes - filled.receivedBytes) / double(Entries);
    }
};

SqliteJournal &sqliteJournal()
{
    static SqliteJournal journal;
    return journal;
}

/// Fills the server's journal the way a restore would: the owner's session with the maintenance
/// switch on, many rows to a statement, the chain made here. The insert trigger would take a
/// quarter of an hour for a million rows one at a time.
void fillServer(QSqlDatabase &database, int entries, int benches)
{
    constexpr int RowsPerStatement = 200;
    QSqlQuery query(database);
    query.exec(QStringLiteral("SET korvane.journal_maintenance = 'on'"));
    query.exec(QStringLiteral("SELECT count(*) FROM journal_row"));
    const int present = query.next() ? query.value(0).toInt() : 0;
    if (present >= entries)
        return;
    query.exec(QStringLiteral("TRUNCATE journal_row"));
    const QStringList &columns = JournalCodec::columnNames();
    const QString oneRow = QStringLiteral("(?%1, ?, ?, ?, ?)").arg(QStringLiteral(", ?").repeated(columns.size()));
    const QString insert = QStringLiteral("INSERT INTO journal_row (seq, %1, prev_sha256, row_sha256, content, received) VALUES ")
                               .arg(columns.join(QStringLiteral(", ")));
    const QDateTime first(QDate(2015, 1, 1), QTime(7, 0), Qt::UTC);
    QString prevSha256 = JournalRow::genesisSha256();
    QElapsedTimer fill;
    fill.start();
    database.transaction();
    for (int number = 0; number < entries; number += RowsPerStatement) {
        const int rows = std::min(RowsPerStatement, entries - number);
        QStringList values(rows, oneRow);
        query.prepare(insert + values.join(QStringLiteral(", ")));
        for (int row = number; row < number + rows; ++row) {
            JournalEntry entry = sampleEntry(row, first.addSecs(qint64(row) * 31));
            entry.bench = QStringLiteral("bench-%1").arg(row % benches);
            const QByteArray content = JournalCodec::encode(entry, entry.lastByte);
            const QString rowSha256 = JournalRow::chainedSha256(prevSha256, content);
            query.addBindValue(row + 1);
            for (const QVariant &value : JournalCodec::columnsOf(content))
                query.addBindValue(value);
            query.addBindValue(prevSha256);
            query.addBindValue(rowSha256);
            query.addBindValue(QString::fromUtf8(content));
            query.addBindValue(entry.received);
            prevSha256 = rowSha256;
        }
        if (!query.exec())
            std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
        if ((number / RowsPerStatement) % 50 == 49) {
            database.commit();
            database.transaction();
        }
    }
    database.commit();
    query.exec(QStringLiteral("VACUUM ANALYZE journal_row"));
    std::fprintf(stderr, "filled %d entries on the server in %.0f s\n", entries, double(fill.elapsed()) / 1000.0);
}

/// A million entries from fifty benches, one every 31 s, on the server that KORVANE_TEST_PGHOST
/// names, in a database of their own that later runs use again.
Journal &serverJournal()
{
    static const QString name = QStringLiteral("korvane_journal_bench");
    static const std::unique_ptr<Journal> journal = [] {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-admin"));
        admin.setHostName(qEnvironmentVariable("KORVANE_TEST_PGHOST"));
        admin.setDatabaseName(QStringLiteral("postgres"));
        admin.setUserName(QStringLiteral("korvane_owner"));
        admin.open();
        QSqlQuery(admin).exec(QStringLiteral("CREATE DATABASE %1").arg(name));
        auto server = std::make_unique<Journal>(std::make_unique<PostgresJournalConnection>(
            PostgresJournalSettings{admin.hostName(), 5432, name, admin.userName(), 5}));
        if (const JournalStatus status = server->open(); !status.ok())
            std::fprintf(stderr, "%s\n", qPrintable(status.message));
        admin.close();
        admin.setDatabaseName(name);
        admin.open();
        fillServer(admin, 1'000'000, 50);
        return server;
    }();
    return *journal;
}

Journal &sqliteList()
{
    return sqliteJournal().filled.journal;
}

/// The journal is made on first use, inside the benchmark, after the application object.
void measureList(benchmark::State &state, Journal &(*journal)(), const JournalFilter &filter)
{
    for (auto _ : state) {
        const JournalPage page = journal().list(filter);
        if (!page.status.ok())
            state.SkipWithError(qPrintable(page.status.message));
        benchmark::DoNotOptimize(page.rows.size());
    }
}

JournalFilter filter(const std::function<void(JournalFilter &)> &choose)
{
    JournalFilter filter;
    choose(filter);
    return filter;
}

const JournalFilter noFilter{};
const JournalFilter missingText = filter([](JournalFilter &f) { f.text = QStringLiteral("no such sample"); });
const JournalFilter oneSample = filter([](JournalFilter &f) { f.text = QStringLiteral("Sample 4711"); });
const JournalFilter methodAndMonth = filter([](JournalFilter &f) {
    f.methodName = QStringLiteral("Method 7");
    f.from = QDate(2015, 1, 10);
    f.to = QDate(2015, 1, 20);
});
const JournalFilter commonText = filter([](JournalFilter &f) { f.text = QStringLiteral("Method 7"); });
const JournalFilter oneBench = filter([](JournalFilter &f) { f.bench = QStringLiteral("bench-17"); });

void BM_Append(benchmark::State &state)
{
    SqliteJournal &journal = sqliteJournal();
    int number = SqliteJournal::Entries;
    for (auto _ : state) {
        if (!journal.filled.journal.append(sampleEntry(number++, QDateTime::currentDateTimeUtc())).ok())
            state.SkipWithError("append failed");
    }
    state.counters["file_bytes_per_entry_beyond_received"] = journal.bytesPerEntry();
}

void BM_Verify(benchmark::State &state)
{
    for (auto _ : state) {
        if (!sqliteJournal().filled.journal.verify().intact())
            state.SkipWithError("the chain does not verify");
    }
}

// The Journal window opened over the filled journal until it has painted its first page.
void BM_OpenWindow(benchmark::State &state)
{
    Journal &journal = sqliteList();
    FakeDialogs dialogs;
    for (auto _ : state) {
        JournalWindow window(journal, dialogs);
        window.show();
        QCoreApplication::processEvents();
        window.repaint();
        benchmark::DoNotOptimize(&window);
    }
}

} // namespace

BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK_CAPTURE(measureList, FirstPage, sqliteList, noFilter)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(measureList, SearchMissingText, sqliteList, missingText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(measureList, SearchOneSample, sqliteList, oneSample)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(measureList, SearchCommonText, sqliteList, commonText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(measureList, MethodAndMonth, sqliteList, methodAndMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Verify)->Unit(benchmark::kSecond)->Iterations(1);

bool registerServerCases()
{
    if (qEnvironmentVariableIsEmpty("KORVANE_TEST_PGHOST")) {
        std::fprintf(stderr, "The lab server's benchmarks need KORVANE_TEST_PGHOST, the socket folder of a server "
                             "started with scripts/journal-test-server.sh.\n");
        return false;
    }
    const std::pair<const char *, const JournalFilter *> serverCases[] = {
        {"Server/FirstPage", &noFilter},
        {"Server/OneBench", &oneBench},
        {"Server/MethodAndMonth", &methodAndMonth},
        {"Server/SearchOneSample", &oneSample},
        {"Server/SearchMissingText", &missingText},
        {"Server/SearchCommonText", &commonText}};
    for (const auto &[name, chosen] : serverCases) {
        benchmark::RegisterBenchmark(name, [chosen](benchmark::State &state) {
            measureList(state, serverJournal, *chosen);
        })->Unit(benchmark::kMillisecond);
    }
    return true;
}

const bool serverCasesRegistered = registerServerCases();

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
