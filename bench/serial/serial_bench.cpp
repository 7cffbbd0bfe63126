// What the serial worker costs and how fast a reply reaches the owner, on a real
// pseudo-terminal through the POSIX device layer.

#include "bench/benchmark_main.h"
#include "pty_instrument.h"
#include "serial/serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>


#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/resource.h>

namespace {

constexpr int MeasureSeconds = 10;

/// An instrument that the port's COM1 stands for.
class Instrument : public PtyInstrument
{
  public:
    Instrument() { setenv("KORVANE_COM1", slave().toLocal8Bit().constData(), 1); }
};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// Runs the event loop for ms milliseconds, as the main window's thread would while idle.
void serveFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

/// CPU of the whole process (worker plus an idle main loop) while the line is quiet.
void workerCpu(benchmark::State &state, bool open)
{
    Instrument instrument;
    TSerialPort port;
    port.SetCommPort(QStringLiteral("COM1"));
    port.SetActive(open);
    serveFor(500);
    for (auto _ : state) {
        const double before = processCpuSeconds();
        serveFor(MeasureSeconds * 1000);
        const double used = processCpuSeconds() - before;
        state.counters["cpu_percent_of_core"] = used / MeasureSeconds * 100;
        state.SetIterationTime(MeasureSeconds);
    }
}

void BM_WorkerCpuPortOpenLineQuiet(benchmark::State &state)
{
    workerCpu(state, true);
}

void BM_WorkerCpuPortClosed(benchmark::State &state)
{
    workerCpu(state, false);
}

/// From the last byte of a reply to OnRxClusterEvent, with the main window's receive settings.
void BM_ReplyToClusterEvent(benchmark::State &state)
{
    Instrument instrument;
    TSerialPort port;
    port.SetCommPort(QStringLiteral("COM1"));
    port.SetBaudRate(2400);
    port.SetRTOCharDelayTime(4500);
    port.SetClusterSize(4096);
    port.SetActive(true);
    serveFor(500);

    const QByteArray reply("   2.500   0.100   6.842   0.012   0.120\r\n");
    const double allowanceMs = reply.size() * 4.5 + port.RTOExtraDelayTime();
    QElapsedTimer timer;
    QEventLoop loop;
    double worstMs = 0;
    port.OnRxClusterEvent = [&](TSerialPort *sender) {
        sender->ReadNextCluster();
        loop.quit();
    };
    for (auto _ : state) {
        instrument.send(reply);
        timer.start();
        loop.exec();
        const double elapsedMs = timer.nsecsElapsed() / 1e6;
        worstMs = std::max(worstMs, elapsedMs);
        state.SetIterationTime(elapsedMs / 1000);
        serveFor(100);
    }
    state.counters["allowance_ms"] = allowanceMs;
    state.counters["worst_ms"] = worstMs;
    state.counters["worst_over_allowance_ms"] = worstMs - allowanceMs;
}

BENCHMARK(BM_WorkerCpuPortOpenLineQuiet)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkerCpuPortClosed)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplyToClusterEvent)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
