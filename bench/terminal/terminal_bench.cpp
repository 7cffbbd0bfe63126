// Cost of one received 4 KiB cluster in the terminal (text, change notification, caret and
// scroll to the end) with little and with much text already there, and the memory a full day
// of output takes. Run with QT_QPA_PLATFORM=offscreen; takes the standard benchmark flags.

#include "bench/benchmark_main.h"
#include "terminal/terminal_edit.h"
#include "terminal/terminal_text.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
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
    TerminalEdit edit;
    edit.setText(instrumentText(state.range(0)));
    edit.selectAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(edit.selectedSize());
}

// A day of output arriving cluster by cluster, for the text alone and for the terminal that
// shows it. A peak of resident memory belongs to the whole process, so each fill runs in a
// process of its own: this program started again with kFillOption, which prints the text's
// size, the fill's seconds and the process's peak.
constexpr char kFillOption[] = "--fill-in-own-process=";
constexpr qsizetype kFillSize = 50 * 1024 * 1024;

/// The text's size in MB once it has reached the fill size.
double fillText()
{
    const QByteArray cluster = instrumentText(kCluster);
    TerminalText text;
    while (text.size() < kFillSize)
        text.appendReceived(cluster);
    return double(text.size()) / (1024 * 1024);
}

double fillTerminal()
{
    const QByteArray cluster = instrumentText(kCluster);
    TerminalEdit edit;
    edit.show();
    while (edit.text().size() < kFillSize) {
        edit.appendReceived(cluster);
        edit.scrollToEnd();
    }
    QCoreApplication::processEvents();
    return double(edit.text().size()) / (1024 * 1024);
}

/// The text alone needs no application object, which would add to its peak.
int fillInThisProcess(int &argc, char **argv)
{
    const bool terminal = std::strcmp(argv[1] + std::strlen(kFillOption), "terminal") == 0;
    std::optional<QApplication> application;
    if (terminal)
        application.emplace(argc, argv);
    QElapsedTimer timer;
    timer.start();
    const double textMegabytes = terminal ? fillTerminal() : fillText();
    std::printf("%f %f %f\n", textMegabytes, timer.nsecsElapsed() / 1e9, peakResidentMegabytes());
    return 0;
}

void fillInOwnProcess(benchmark::State &state, const char *what)
{
    for (auto _ : state) {
        QProcess fill;
        fill.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fill.start(QCoreApplication::applicationFilePath(), {QString(kFillOption) + what});
        double textMegabytes = 0;
        double seconds = 0;
        double peakMegabytes = 0;
        if (!fill.waitForFinished(-1) || fill.exitStatus() != QProcess::NormalExit || fill.exitCode() != 0 ||
            std::sscanf(fill.readAllStandardOutput().constData(), "%lf %lf %lf", &textMegabytes, &seconds,
                        &peakMegabytes) != 3) {
            state.SkipWithError("the fill process failed");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["peak_MB"] = peakMegabytes;
        state.counters["text_MB"] = textMegabytes;
    }
}

void BM_FillTextTo50MB(benchmark::State &state)
{
    fillInOwnProcess(state, "text");
}

void BM_FillTerminalTo50MB(benchmark::State &state)
{
    fillInOwnProcess(state, "terminal");
}

} // namespace

BENCHMARK(BM_ModelAppend)->Arg(50 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TerminalAppend)->Arg(50 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionLength)->Arg(1024 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillTextTo50MB)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTerminalTo50MB)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (argc == 2 && std::strncmp(argv[1], kFillOption, std::strlen(kFillOption)) == 0)
        return fillInThisProcess(argc, argv);
    return runBenchmarks<QApplication>(argc, argv);
}
