// How old a line of a continuous printout is when it reaches the screen: one minute of a listing
// printed without pauses at 2400 baud 7E2, through the real component and its worker on a
// manual clock, with the main window's receive settings.

#include "bench/benchmark_main.h"
#include "serial/manual_clock.h"
#include "serial/platform/fake_comm_device.h"
#include "serial/platform/fake_comm_driver.h"
#include "serial/serial_port.h"

#include <QCoreApplication>

#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr uint32_t CharacterUs = 4583; // 11 bits a character at 2400 baud
constexpr uint32_t ListingMs = 60000;

QByteArray listing()
{
    QByteArray text;
    for (int line = 0; text.size() * uint64_t{CharacterUs} < ListingMs * 1000ull * 2; ++line)
        text += "  " + QByteArray::number(line * 0.05, 'f', 3).rightJustified(8, ' ') + "   0.050    " +
                QByteArray::number(3.0 + line * 0.01, 'f', 2) + "   0.01   0.20\r\n";
    return text;
}

void BM_NewestLineAgeDuringAListing(benchmark::State &state)
{
    const QByteArray text = listing();
    for (auto _ : state) {
        auto clock = std::make_shared<ManualClock>(1000);
        auto driver = std::make_shared<FakeCommDriver>(*clock);
        TSerialPort port(nullptr, SerialBackend{driver, clock});
        port.SetBaudRate(2400);
        port.SetDataBits(7);
        port.SetParityType(2);
        port.SetStopBits(2);
        port.SetRTOCharDelayTime(4500);
        port.SetClusterSize(4096);
        port.SetRxQueueSize(2048);
        QByteArray shown;
        double worstMs = 0;
        double sumMs = 0;
        int lines = 0;
        int clusters = 0;
        uint64_t start = 0;
        port.OnRxClusterEvent = [&](TSerialPort *) {
            const qsizetype before = shown.size();
            shown += port.ReadNextCluster();
            ++clusters;
            // Every line that ends in this cluster is on screen from now on.
            for (qsizetype end = shown.indexOf('\n', before); end >= 0; end = shown.indexOf('\n', end + 1)) {
                const double arrivedMs = (end + 1) * double(CharacterUs) / 1000;
                const double ageMs = double(clock->elapsed() - start) - arrivedMs;
                worstMs = std::max(worstMs, ageMs);
                sumMs += ageMs;
                ++lines;
            }
        };
        const auto serve = [&] {
            while (clock->parked() > 0) {
                QCoreApplication::processEvents();
                clock->advance(0);
            }
        };
        const auto run = [&](uint32_t ms) {
            for (uint32_t i = 0; i < ms; ++i) {
                clock->advance(1);
                serve();
            }
        };
        port.SetActive(true);
        run(450);
        start = clock->elapsed();
        driver->device().receive(text, 0, CharacterUs);
        run(ListingMs);
        state.counters["worst_line_age_ms"] = worstMs;
        state.counters["mean_line_age_ms"] = lines ? sumMs / lines : 0;
        state.counters["lines_shown"] = lines;
        state.counters["clusters"] = clusters;
        port.SetActive(false);
        serve();
    }
}

BENCHMARK(BM_NewestLineAgeDuringAListing)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
