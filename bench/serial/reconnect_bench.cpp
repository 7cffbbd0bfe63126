// The real program while its device is gone and when it comes back: a pseudo-terminal behind a
// symbolic link stands for a USB adapter that is pulled out (hung up, its link gone) and plugged
// in again (the link back to the same terminal).

#include "pty_instrument.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <csignal>
#include <unistd.h>

namespace {

constexpr int MeasureSeconds = 30;

/// korvane, offscreen, its COM1 a link to the instrument that the bench pulls and plugs in.
class Program
{
  public:
    Program() : m_link(m_folder.filePath("ttyKorvane"))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", m_folder.path());
        environment.insert("KORVANE_COM1", m_link);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(environment);
    }
    ~Program()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    void pull() { ::unlink(QFile::encodeName(m_link).constData()); }
    void plugIn(const PtyInstrument &instrument)
    {
        // Qt's own file calls do not see a link whose device has gone.
        ::unlink(QFile::encodeName(m_link).constData());
        if (::symlink(QFile::encodeName(instrument.slave()).constData(), QFile::encodeName(m_link).constData()) != 0)
            std::abort();
    }
    void start()
    {
        m_process.start(KORVANE_PROGRAM, {});
        m_process.waitForStarted();
    }

    /// Waits until the capture log holds `size` bytes; false after 10 s.
    bool waitForCapture(qint64 size) const
    {
        const QDeadlineTimer deadline(10000);
        while (captured() < size && !deadline.hasExpired())
            QThread::usleep(500);
        return captured() >= size;
    }

    double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        stat.open(QIODevice::ReadOnly);
        const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
        // Fields 14 and 15 of the whole line (user and system time) follow the command name.
        return (fields[12].toDouble() + fields[13].toDouble()) / sysconf(_SC_CLK_TCK);
    }

    qint64 captured() const
    {
        QDirIterator files(m_folder.path(), {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
        return files.hasNext() ? QFileInfo(files.next()).size() : 0;
    }

  private:
    QTemporaryDir m_folder;
    QString m_link;
    QProcess m_process;
};

/// A device that answers at once when it is back, as the titrator's status line.
const QByteArray Reply("Status:\r\n");

void BM_ProgramCpuWhileWaitingForALostDevice(benchmark::State &state)
{
    Program program;
    {
        PtyInstrument instrument;
        program.plugIn(instrument);
        program.start();
        instrument.send(Reply);
        if (!program.waitForCapture(Reply.size()))
            state.SkipWithError("the program did not receive");
    }
    QThread::sleep(2);
    for (auto _ : state) {
        const double before = program.cpuSeconds();
        QThread::sleep(MeasureSeconds);
        const double used = program.cpuSeconds() - before;
        state.counters["cpu_percent_of_core"] = used / MeasureSeconds * 100;
        state.SetIterationTime(MeasureSeconds);
    }
}

/// From the moment the device is back (its node is there again and it sends) to the bytes being
/// on screen, which is also when the capture log has them: the same handler writes both. A
/// terminal opened anew starts empty, so the device repeats its reply until it is shown.
void BM_DeviceReturnToFirstByteShown(benchmark::State &state)
{
    Program program;
    PtyInstrument instrument;
    program.plugIn(instrument);
    program.start();
    instrument.send(Reply);
    program.waitForCapture(Reply.size());
    double worstMs = 0;
    for (auto _ : state) {
        const qint64 before = program.captured();
        program.pull();
        if (!instrument.hangUp()) {
            state.SkipWithError("hanging up a terminal needs CAP_SYS_ADMIN");
            break;
        }
        // Pulled at varying points of the program's once-a-second look.
        QThread::msleep(1500 + 97 * state.iterations());
        QElapsedTimer timer;
        timer.start();
        program.plugIn(instrument);
        const QDeadlineTimer deadline(10000);
        while (program.captured() == before && !deadline.hasExpired()) {
            instrument.send(Reply);
            QThread::msleep(5);
        }
        if (program.captured() == before)
            state.SkipWithError("the program did not reconnect");
        const double ms = timer.nsecsElapsed() / 1e6;
        worstMs = std::max(worstMs, ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["worst_ms"] = worstMs;
}

BENCHMARK(BM_ProgramCpuWhileWaitingForALostDevice)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeviceReturnToFirstByteShown)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
