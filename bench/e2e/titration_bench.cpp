// Two figures of the program against the simulator over pseudo-terminals, in real time:
//  1. the program's CPU while the simulator streams a titration of more than 200 points;
//  2. the time from the last byte of a measuring table to the record complete in the
//     terminal and the record list.
// Run: QT_QPA_PLATFORM=offscreen build/bench/e2e/titration_bench [simulator speed factor, default 4;
// 0 skips the streaming part]
// The program runs on real time, so its receive allowance (4.5 ms a byte plus 250 ms after
// the last read) needs the simulator's pause between points (3 s / factor) to stay longer
// than that: factors above about 5 make the program cut clusters only at full queues.

#include "app/form1.h"
#include "app/native_dialogs.h"
#include "app/simulator_process.h"
#include "app/terminal_text.h"
#include "serial/serial_port.h"
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
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

int streamingCpu(const QString &speed)
{
    SimulatorProcess simulator({"--speed", speed});
    QString error;
    if (!simulator.start(KORVANE_SIM_PROGRAM, &error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("KORVANE_COM1", QFile::encodeName(simulator.portPath()));
    NativeDialogs dialogs;
    TForm1 form(dialogs, SerialBackend::system());
    const auto has = [&](const QByteArray &text) { return form.terminalText().text().contains(text); };
    runUntil([&] { return has("d.At"); }, 10000);
    // Memory 41: fine increments up to the buret's whole volume.
    sendKeys(form, {"L", "41", "QZ", "\r", "O0.2O1OO\r"});
    if (!runUntil([&] { return has("pH/mL\r\n"); }, 60000)) {
        std::fprintf(stderr, "no measuring table\n");
        return 1;
    }
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runUntil([&] { return has("TITRATION END"); }, 3600000, 50);
    const double cpu = cpuSeconds() - cpuStart;
    const double seconds = wall.elapsed() / 1000.0;
    const QByteArray text = form.terminalText().text();
    const QByteArray table = text.mid(text.indexOf("pH/mL\r\n"), text.indexOf("Results") - text.indexOf("pH/mL\r\n"));
    std::printf("streaming at speed %s: %lld points in %.1f s, %lld bytes; program CPU %.3f s = %.2f %% of one core\n",
                qPrintable(speed), static_cast<long long>(table.count("\r\n") - 1), seconds,
                static_cast<long long>(table.size()), cpu, 100.0 * cpu / seconds);
    return 0;
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

int lastByteToRecord()
{
    PseudoTerminal line;
    QString error;
    if (!line.open(2400, &error)) {
        std::fprintf(stderr, "pty: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("KORVANE_COM1", line.slavePath().toLocal8Bit());
    NativeDialogs dialogs;
    TForm1 form(dialogs, SerialBackend::system());
    auto *records = form.findChild<QComboBox *>("comboBoxSelectRecord");
    const MeasuringTable table(true);
    std::vector<double> latencies;
    for (int record = 1; record <= 6; ++record) {
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
        latencies.push_back(seen ? (clock.nsecsElapsed() - lastByteNs) / 1e6 : -1.0);
        instrument.join();
        runUntil([] { return false; }, 1000);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("last table byte to record complete (ms): min %.1f, median %.1f, max %.1f\n", latencies.front(),
                latencies[latencies.size() / 2], latencies.back());
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QString speed = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("4");
    const int latency = lastByteToRecord();
    return latency + (speed == "0" ? 0 : streamingCpu(speed));
}
