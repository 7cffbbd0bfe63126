#pragma once

// The program's main window offscreen on the real serial layer, talking over a
// pseudo-terminal to the simulator program, with both sides running fast.

#include "app/simulator_process.h"
#include "app/terminal_text.h"
#include "serial/platform/posix_comm_driver.h"
#include "tests/app/form_fixture.h"
#include "tests/e2e/scaled_tick_source.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

/// Speed factors: the simulator's pace, and the program's clock.
constexpr const char *simulatorSpeed = "40";
constexpr double programSpeed = 10.0;

/// CPU seconds this process has used so far.
inline double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class BenchFixture : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { testApplication(); }

    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(simulator.start(KORVANE_SIM_PROGRAM, &error)) << error.toStdString();
        qputenv("KORVANE_COM1", QFile::encodeName(simulator.portPath()));
        form = std::make_unique<TForm1>(dialogs, SerialBackend{std::make_shared<PosixCommDriver>(ticks), ticks});
        OKRightDlg10 = std::make_unique<ConfirmDialog>(
            QStringLiteral("OKRightDlg10"), QStringLiteral("Starting a new file? All unsaved data will be lost!"),
            false);
        OKRightDlg11 = std::make_unique<ConfirmDialog>(QStringLiteral("OKRightDlg11"),
                                                       QStringLiteral("File exists. Overwrite?"), true);
        form->OKRightDlg10 = OKRightDlg10.get();
        form->OKRightDlg11 = OKRightDlg11.get();
    }

    void TearDown() override
    {
        OKRightDlg11.reset();
        OKRightDlg10.reset();
        form.reset();
        qunsetenv("KORVANE_COM1");
    }

    /// Runs the event loop, sleeping between events, until done() holds or realMs have passed.
    static bool runUntil(const std::function<bool()> &done, int realMs)
    {
        const QDeadlineTimer deadline(realMs);
        while (!done() && !deadline.hasExpired()) {
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return done();
    }

    bool terminalHas(const QByteArray &text) const { return form->terminalText().text().contains(text); }

    SimulatorProcess simulator{{"--speed", simulatorSpeed}};
    std::shared_ptr<TickSource> ticks = std::make_shared<ScaledTickSource>(programSpeed);
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<ConfirmDialog> OKRightDlg10;
    std::unique_ptr<ConfirmDialog> OKRightDlg11;
};
