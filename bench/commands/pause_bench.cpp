// CPU time spent in a two-second Pause while a window sits idle: a waiting pause should leave the
// core to others, where a spinning one would use all of it.

#include "bench/benchmark_main.h"
#include "commands/pause.h"
#include "commands/qt_event_pump.h"
#include "serial/system_tick_source.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>

namespace {

double processCpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void BM_PauseWithIdleWindow(benchmark::State &state)
{
    QWidget window;
    window.resize(688, 626);
    window.show();
    QtEventPump events;
    const auto ticks = SystemTickSource::instance();
    const Pause pause(*ticks, events);
    pause(100); // let the window settle before measuring

    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        pause(static_cast<std::uint32_t>(state.range(0)));
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        cpu += processCpuSeconds() - cpuStart;
    }
    state.counters["cpu_percent_of_wall"] = 100.0 * cpu / wall;
}

} // namespace

BENCHMARK(BM_PauseWithIdleWindow)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
