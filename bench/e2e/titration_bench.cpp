// Two figures of the program against the simulator over pseudo-terminals, in real time:
//  1. the time from the last byte of a measuring table to the record complete in the
//     terminal and the record list;
//  2. the program's CPU while the simulator streams a titration of more than 200 points, at a
//     speed factor of the simulator given as the benchmark's argument.
// Run: QT_QPA_PLATFORM=offscreen build/bench/e2e/titration_bench [standard benchmark flags]
// The program runs on real time, so its receive allowance (4.5 ms a byte plus 250 ms after
// the last read) needs the simulator's pause between points (3 s / factor) to stay longer
// than that: factors above about 5 make the program cut clusters only at full queues.

#include "app/form1.h"
#include "app/platform/native_dialogs.h"
#include "app/platform/simulator_process.h"
#include "bench/benchmark_main.h"
#include "serial/serial_port.h"
#include "terminal/terminal_text.h"
#include "tools/line_pacer.h"
#include "tools/measuring_point.h"
#include "tools/measuring_table.h"
#include "tools/pseudo_terminal.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// Serves the event loop, sleeping between events, until done() or the time is up.
bool runUntil(const std::function<bool()> &done, int ms, int slice = 10)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(slice, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

/// Sends keys one string at a time, leaving the port time to finish each write.
void sendKeys(TForm1 &form, const QList<QByteArray> &strings)
{
    for (const QByteArray &string : strings) {
        form.SerialPort1->SendString(string);
        runUntil([] { return false; }, 300);
    }
}

void BM_StreamingCpu(benchmark::State &state)
{
    const QString speed = QString::number(state.range(0));
    for (auto _ : state) {
        SimulatorProcess simulator({"--speed", speed});
        QString error;
        if (!simulator.start(KORVANE_SIM_PROGRAM, &error)) {
            state.SkipWithError(qPrintable("simulator: " + error));
            break;
        }
        qputenv("KORVANE_COM1", QFile::encodeName(simulator.portPath()));
        NativeDialogs dialogs;
        TForm1 form(dialogs, SerialBackend::system());
        const auto has = [&](const QByteArray &text) { return form.terminalText().text().contains(text); };
        runUntil([&] { return has("d.At"); }, 10000);
        // Memory 41: fine increments up to the buret's whole volume.
        sendKeys(form, {"L", "41", "QZ", "\r", "O0.2O1OO\r"});
        if (!runUntil([&] { return has("pH/mL\r\n"); }, 60000)) {
            state.SkipWithError("no measuring table");
            break;
        }
        const double cpuStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runUntil([&] { return has("TITRATION END"); }, 3600000, 50);
        const double cpu = cpuSeconds() - cpuStart;
        const double seconds = wall.elapsed() / 1000.0;
        const QByteArray text = form.terminalText().text();
        const qsizetype start = text.indexOf("pH/mL\r\n");
        const QByteArray table = text.mid(start, text.indexOf("Results") - start);
        state.SetIterationTime(seconds);
        state.counters["points"] = double(table.count("\r\n") - 1);
        state.counters["table_bytes"] = double(table.size());
        state.counters["cpu_s"] = cpu;
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / seconds;
    }
}

/// Writes at the speed of a 2400 baud line with 7E2 framing, as the instrument does.
void writeAtLineSpeed(PseudoTerminal &line, QByteArray bytes)
{
    LinePacer pacer(2400 / 11.0, LinePacer::Clock::now());
    while (!bytes.isEmpty()) {
        const qsizetype allowed = std::min(bytes.size(), pacer.allowance(LinePacer::Clock::now()));
        if (allowed == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pacer.msUntil(1)));
            continue;
        }
        const qsizetype written = line.write(bytes.left(allowed));
        pacer.spend(written);
        bytes.remove(0, written);
    }
}

/// Each iteration is one measuring table; its time runs from the table's last byte on the line
/// to the record complete in the terminal and the record list.
void BM_LastByteToRecord(benchmark::State &state)
{
    PseudoTerminal line;
    QString error;
    if (!line.open(2400, &error)) {
        state.SkipWithError(qPrintable("pty: " + error));
        return;
    }
    qputenv("KORVANE_COM1", line.slavePath().toLocal8Bit());
    NativeDialogs dialogs;
    TForm1 form(dialogs, SerialBackend::system());
    auto *records = form.findChild<QComboBox *>("comboBoxSelectRecord");
    const MeasuringTable table(true);
    double worstMs = 0;
    int record = 0;
    for (auto _ : state) {
        ++record;
        const QByteArray last = table.line({99.0 + record, 0.1, 11.0, 0.01, 0.1, 0.0});
        std::atomic<qint64> lastByteNs{0};
        QElapsedTimer clock;
        clock.start();
        // Points a second apart, each line at line speed, like a titration at its end.
        std::thread instrument([&] {
            writeAtLineSpeed(line, table.header());
            for (int point = 0; point < 4; ++point) {
                writeAtLineSpeed(line, table.line({point * 0.1, 0.1, 4.0 + point * 0.05, 0.05, 0.5, 0.0}));
                std::this_thread::sleep_for(std::chrono::seconds(1));
            }
            writeAtLineSpeed(line, last);
            lastByteNs = clock.nsecsElapsed();
            std::this_thread::sleep_for(std::chrono::seconds(1));
            writeAtLineSpeed(line, "\r\nResults\r\n");
        });
        const bool seen =
            runUntil([&] { return form.terminalText().text().contains(last) && records->count() == record; }, 20000, 1);
        const double latencyMs = (clock.nsecsElapsed() - lastByteNs) / 1e6;
        instrument.join();
        if (!seen) {
            state.SkipWithError("the record did not arrive");
            break;
        }
        worstMs = std::max(worstMs, latencyMs);
        state.SetIterationTime(latencyMs / 1000);
        runUntil([] { return false; }, 1000);
    }
    state.counters["worst_ms"] = worstMs;
}

} // namespace

BENCHMARK(BM_LastByteToRecord)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamingCpu)->ArgName("speed")->Arg(4)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
