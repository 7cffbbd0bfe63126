// Cost of one received 4 KiB cluster in the terminal (text, change notification, caret and
// scroll to the end) with little and with much text already there, and the memory a full day
// of output takes. Run with QT_QPA_PLATFORM=offscreen.

#include "app/terminal_edit.h"
#include "app/terminal_text.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

constexpr qsizetype kCluster = 4096;

// Lines as the titrator prints its measuring tables.
QByteArray instrumentText(qsizetype size)
{
    const QByteArray line = "     12.345      0.050       7.123       0.045      0.900\r\n";
    QByteArray text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

QApplication &application()
{
    static int argc = 1;
    static char name[] = "terminal_bench";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// The small text goes back to its starting size every 64 clusters, so the size stays what it
// says; the large one grows by well under 1 % during a run and is left to grow. One cluster is
// appended before timing, so the text's buffer has grown as it does in a running program.
bool refillDue(int &appended, qsizetype startSize)
{
    if (startSize >= 1024 * 1024 || ++appended < 64)
        return false;
    appended = 0;
    return true;
}

void BM_ModelAppend(benchmark::State &state)
{
    const QByteArray start = instrumentText(state.range(0));
    const QByteArray cluster = instrumentText(kCluster);
    TerminalText text;
    text.setText(start);
    text.appendReceived(cluster);
    int appended = 0;
    for (auto _ : state) {
        if (refillDue(appended, start.size())) {
            state.PauseTiming();
            text.setText(start);
            text.appendReceived(cluster);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(text.appendReceived(cluster));
    }
}

void BM_TerminalAppend(benchmark::State &state)
{
    application();
    const QByteArray start = instrumentText(state.range(0));
    const QByteArray cluster = instrumentText(kCluster);
    TerminalEdit edit;
    edit.resize(665, 425);
    edit.show();
    qsizetype changedFrom = 0;
    QObject::connect(&edit, &TerminalEdit::terminalChanged, [&](qsizetype from) { changedFrom = from; });
    edit.setText(start);
    edit.appendReceived(cluster);
    QCoreApplication::processEvents();
    int appended = 0;
    for (auto _ : state) {
        if (refillDue(appended, start.size())) {
            state.PauseTiming();
            edit.setText(start);
            edit.appendReceived(cluster);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        edit.appendReceived(cluster);
        edit.scrollToEnd();
        // Painting the new view belongs to every cluster too.
        edit.viewport()->repaint();
        benchmark::DoNotOptimize(changedFrom);
    }
}

// What a mouse move over the terminal costs to decide whether a selection counts as data
// chosen by hand, with the whole text selected.
void BM_SelectionLength(benchmark::State &state)
{
    application();
    TerminalEdit edit;
    edit.setText(instrumentText(state.range(0)));
    edit.selectAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(edit.selectedSize());
}

// A day of output arriving cluster by cluster; report the process's peak resident memory, for
// the text alone and for the terminal that shows it. Run each on its own (--benchmark_filter),
// since the peak is the process's.
void BM_FillTextTo50MB(benchmark::State &state)
{
    const QByteArray cluster = instrumentText(kCluster);
    for (auto _ : state) {
        TerminalText text;
        while (text.size() < 50 * 1024 * 1024)
            text.appendReceived(cluster);
        state.counters["peak_MB"] = peakResidentMegabytes();
    }
}

void BM_FillTerminalTo50MB(benchmark::State &state)
{
    application();
    const QByteArray cluster = instrumentText(kCluster);
    for (auto _ : state) {
        TerminalEdit edit;
        edit.show();
        while (edit.text().size() < 50 * 1024 * 1024) {
            edit.appendReceived(cluster);
            edit.scrollToEnd();
        }
        QCoreApplication::processEvents();
        state.counters["peak_MB"] = peakResidentMegabytes();
        state.counters["text_MB"] = double(edit.text().size()) / (1024 * 1024);
    }
}

} // namespace

BENCHMARK(BM_ModelAppend)->Arg(50 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TerminalAppend)->Arg(50 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionLength)->Arg(1024 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillTextTo50MB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTerminalTo50MB)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
