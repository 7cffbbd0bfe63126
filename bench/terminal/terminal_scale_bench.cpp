// The main window at the scale of a week of instrument output: what one received 4 KiB cluster
// costs (terminal, record finder, record list, scroll and paint) with 50 KB and with 50 MB of
// measuring tables already there, a line that grows without a break, the intake of 50 MB, and
// entering the page "Table" with 100,000 records. The clusters go to the terminal as the
// reception handler hands them over, without the capture file.
// Run: QT_QPA_PLATFORM=offscreen build/bench/terminal/terminal_scale_bench [standard benchmark flags];
// run BM_FormIntake50MB on its own (--benchmark_filter), since its peak memory is the process's.
// With a screen reader on the accessibility bus (scripts/bench.sh does this too):
//   bench/terminal/with_screen_reader.sh build/bench/terminal/terminal_scale_bench --benchmark_filter=ScreenReader
// (the first entry to the page "Table" after a large intake is the case a screen reader's user waits for).

#include "app/form1.h"
#include "app/platform/native_dialogs.h"
#include "bench/benchmark_main.h"
#include "data/header_walker.h"
#include "data/record_counter.h"
#include "serial/serial_port.h"
#include "terminal/terminal_edit.h"
#include "terminal/terminal_text.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTabWidget>
#include <QThread>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr qsizetype kCluster = 4096;
constexpr qsizetype kMegabyte = 1024 * 1024;

// One measuring table of `points` lines and the text the instrument prints around it.
QByteArray measuringTable(int points)
{
    QByteArray table = "\r\nSample 17   Weight 0.2500 g\r\n   " + phHeader.toByteArray() + "\r\n";
    for (int point = 0; point < points; ++point)
        table += "     12.345      0.050       7.123       0.045      0.900\r\n";
    return table + "Titration end\r\n";
}

// Output of `size` bytes holding one table every size / tables bytes, as a day at the bench
// prints them: tables with lines of results, status and listings between them.
QByteArray instrumentOutput(qsizetype size, qsizetype bytesPerTable)
{
    QByteArray stretch = measuringTable(40);
    while (stretch.size() < bytesPerTable)
        stretch += "Result 1   EP1   12.345 mL   pH 7.123   c = 0.1000 mol/L\r\n";
    stretch.truncate(bytesPerTable);
    QByteArray text;
    text.reserve(size + stretch.size());
    while (text.size() < size)
        text += stretch;
    text.truncate(size);
    return text;
}

// 50 MB with 8,000 tables: one table every 6.5 KB.
constexpr qsizetype kBytesPerTable = 50 * kMegabyte / 8000;

double peakResidentMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double residentMegabytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / kMegabyte;
}

/// The main window as the program builds it, shown; its port stays closed.
class Window
{
  public:
    Window() : form(dialogs, SerialBackend::system())
    {
        form.resize(1024, 768);
        form.show();
        QCoreApplication::processEvents();
    }
    TerminalEdit &terminal() { return *form.findChild<TerminalEdit *>(QStringLiteral("Terminal")); }
    QComboBox &records() { return *form.findChild<QComboBox *>(QStringLiteral("comboBoxSelectRecord")); }
    QTabWidget &pages() { return *form.findChild<QTabWidget *>(QStringLiteral("PageControl1")); }
    /// What the reception handler does with a cluster, and the paint that follows.
    void receive(QByteArrayView cluster)
    {
        terminal().appendReceived(cluster);
        terminal().scrollToEnd();
        terminal().viewport()->repaint();
    }

  private:
    NativeDialogs dialogs;
    TForm1 form;
};

// The small text goes back to its start every 64 clusters, so its size stays what it says; the
// large one grows by well under 1 % in a run. after() runs once per cluster, timed.
void receiveClustersWithTables(benchmark::State &state, Window &window, const std::function<void()> &after)
{
    const qsizetype startSize = state.range(0);
    const QByteArray start = instrumentOutput(startSize, kBytesPerTable);
    // The stream goes on where the text ends, so tables keep arriving.
    const QByteArray stream = instrumentOutput(startSize + 64 * kCluster, kBytesPerTable).sliced(startSize);
    window.terminal().setText(start);
    qsizetype at = 0;
    for (auto _ : state) {
        if (at + kCluster > stream.size()) {
            state.PauseTiming();
            if (startSize < kMegabyte)
                window.terminal().setText(start);
            at = 0;
            state.ResumeTiming();
        }
        window.receive(QByteArrayView(stream).sliced(at, kCluster));
        after();
        at += kCluster;
    }
    state.counters["records"] = window.records().count();
}

void BM_ClusterWithTables(benchmark::State &state)
{
    Window window;
    receiveClustersWithTables(state, window, [] {});
}

// Characters the events carried to the in-process reader.
qsizetype g_readerCharacters = 0;

/// Does with each accessibility event what the bus bridge and a screen reader do with it: takes
/// the texts it carries, and reads the caret and the caret's line.
void readLikeAScreenReader(QAccessibleEvent *event)
{
    QAccessibleInterface *source = event->accessibleInterface();
    QAccessibleTextInterface *text = source ? source->textInterface() : nullptr;
    if (!text)
        return;
    if (event->type() == QAccessible::TextInserted)
        g_readerCharacters += static_cast<QAccessibleTextInsertEvent *>(event)->textInserted().size();
    else if (event->type() == QAccessible::TextRemoved)
        g_readerCharacters += static_cast<QAccessibleTextRemoveEvent *>(event)->textRemoved().size();
    else if (event->type() == QAccessible::TextUpdated)
        g_readerCharacters += static_cast<QAccessibleTextUpdateEvent *>(event)->textRemoved().size() +
                              static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted().size();
    int start = 0;
    int end = 0;
    benchmark::DoNotOptimize(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end));
}

/// Where Qt has no bus bridge (offscreen), switches the platform's accessibility on as the bridge
/// does when a screen reader starts, and hands the events to readLikeAScreenReader.
class InProcessReader
{
  public:
    InProcessReader() : m_before(QAccessible::installUpdateHandler(readLikeAScreenReader))
    {
        platform()->setActive(true);
    }
    ~InProcessReader()
    {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(m_before);
    }

  private:
    static QPlatformAccessibility *platform() { return QGuiApplicationPrivate::platformIntegration()->accessibility(); }
    QAccessible::UpdateHandler m_before;
};

bool waitForAccessibilityBus()
{
    QElapsedTimer waited;
    waited.start();
    while (QGuiApplication::platformName() != QLatin1String("offscreen") && !QAccessible::isActive() &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return QAccessible::isActive();
}

// The same with a screen reader listening. Run on the accessibility bus (with_screen_reader.sh)
// the program's bridge sends each event over D-Bus and the listener's requests are answered
// between clusters; run offscreen an in-process reader stands in, and counts what it is sent.
void BM_ClusterWithTablesScreenReader(benchmark::State &state)
{
    const bool onBus = waitForAccessibilityBus();
    std::optional<InProcessReader> inProcess;
    if (!onBus)
        inProcess.emplace();
    g_readerCharacters = 0;
    Window window;
    receiveClustersWithTables(state, window, [] { QCoreApplication::processEvents(); });
    if (!onBus)
        state.counters["chars_to_reader"] =
            benchmark::Counter(double(g_readerCharacters), benchmark::Counter::kAvgIterations);
    state.SetLabel(onBus ? "accessibility bus" : "in-process reader");
}

// A line without a break growing cluster by cluster, at 4 KiB and at 4 MB: the text and the
// record finder alone, and the whole window.
void BM_LongLineText(benchmark::State &state)
{
    const QByteArray cluster(kCluster, 'x');
    TerminalText text;
    RecordCounter records;
    text.setText(QByteArray(state.range(0), 'x'));
    records.update(text.text(), 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(records.update(text.text(), text.appendReceived(cluster)));
}

void BM_LongLineWindow(benchmark::State &state)
{
    const QByteArray cluster(kCluster, 'x');
    Window window;
    window.terminal().setText(QByteArray(state.range(0), 'x'));
    for (auto _ : state)
        window.receive(cluster);
}

// 50 MB of output with 8,000 tables taken in cluster by cluster by a fresh window.
void BM_FormIntake50MB(benchmark::State &state)
{
    const QByteArray stream = instrumentOutput(50 * kMegabyte, kBytesPerTable);
    for (auto _ : state) {
        Window window;
        // What holding the text costs is what the window grows by while taking it in.
        const double residentBefore = residentMegabytes();
        QElapsedTimer timer;
        timer.start();
        for (qsizetype at = 0; at < stream.size(); at += kCluster) {
            window.terminal().appendReceived(QByteArrayView(stream).sliced(at, std::min(kCluster, stream.size() - at)));
            window.terminal().scrollToEnd();
        }
        QCoreApplication::processEvents();
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        state.counters["MB_per_s"] = double(stream.size()) / kMegabyte / seconds;
        state.counters["text_MB"] = double(stream.size()) / kMegabyte;
        state.counters["held_MB"] = residentMegabytes() - residentBefore;
        state.counters["peak_MB"] = peakResidentMegabytes();
    }
}

// Records of five points each.
QByteArray records(int count)
{
    QByteArray text;
    const QByteArray table = measuringTable(5);
    text.reserve(count * table.size());
    for (int record = 0; record < count; ++record)
        text += table;
    return text;
}

// Entering the page "Table" with the newest of 100,000 records selected, as the user does.
void BM_TablePage100kRecords(benchmark::State &state)
{
    Window window;
    window.terminal().setText(records(100000));
    for (auto _ : state) {
        state.PauseTiming();
        window.pages().setCurrentIndex(0);
        state.ResumeTiming();
        window.pages().setCurrentIndex(1);
    }
    state.counters["records"] = window.records().count();
}

/// Serves events until none has come for quietMs; returns the time on clock when the last was served.
qint64 serveUntilQuiet(const QElapsedTimer &clock, qint64 quietMs)
{
    QEventLoop loop;
    qint64 last = clock.elapsed();
    while (clock.elapsed() - last < quietMs) {
        if (loop.processEvents(QEventLoop::AllEvents))
            last = clock.elapsed();
        else
            QThread::msleep(1);
    }
    return last;
}

// The first entry to the page "Table" after an intake of 1 and of 100,000 records, with a screen
// reader listening: the window's own work and, on the bus, the screen reader's questions it
// answers, up to the last of them (with_screen_reader.sh: the reader goes through the window once
// a page comes to the front). Later entries cost what BM_TablePage100kRecords measures.
void BM_FirstTablePageAfterIntakeScreenReader(benchmark::State &state)
{
    const bool onBus = waitForAccessibilityBus();
    std::optional<InProcessReader> inProcess;
    if (!onBus)
        inProcess.emplace();
    const QByteArray text = records(int(state.range(0)));
    for (auto _ : state) {
        auto window = std::make_unique<Window>();
        window->terminal().setText(text);
        QElapsedTimer clock;
        clock.start();
        serveUntilQuiet(clock, 1000);
        clock.restart();
        window->pages().setCurrentIndex(1);
        state.SetIterationTime(double(serveUntilQuiet(clock, 2000)) / 1000);
        state.counters["records"] = window->records().count();
    }
    state.SetLabel(onBus ? "accessibility bus" : "in-process reader");
}

} // namespace

BENCHMARK(BM_ClusterWithTables)->Arg(50 * 1024)->Arg(50 * kMegabyte)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClusterWithTablesScreenReader)->Arg(50 * 1024)->Arg(50 * kMegabyte)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LongLineText)->Arg(kCluster)->Arg(4 * kMegabyte)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LongLineWindow)->Arg(kCluster)->Arg(4 * kMegabyte)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TablePage100kRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstTablePageAfterIntakeScreenReader)
    ->Arg(1)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormIntake50MB)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
