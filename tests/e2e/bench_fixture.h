#pragma once

// The program's main window offscreen on the real serial layer, talking over a
// pseudo-terminal to the simulator program, with both sides running fast.

#include "app/platform/simulator_process.h"
#include "commands/qt_event_pump.h"
#include "serial/platform/posix_comm_driver.h"
#include "terminal/terminal_text.h"
#include "tests/e2e/scaled_tick_source.h"
#include "tests/support/form_fixture.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
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
        program = std::make_unique<Program>(
            Platform{dialogs, SerialBackend{std::make_shared<PosixCommDriver>(ticks), ticks}, ticks, events});
        form = &program->mainWindow();
    }

    void TearDown() override
    {
        program.reset();
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

    template <typename T> T *control(const QString &name) const
    {
        T *found = form->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    bool terminalHas(const QByteArray &text) const { return form->terminalText().text().contains(text); }

    /// Fills in the run dialog as a user would, once it shows.
    static void answerRunDialog(const QString &weight, int identification)
    {
        QTimer::singleShot(0, [=] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            ASSERT_EQ(dialog->objectName(), "OKRightDlg3");
            dialog->findChild<QLineEdit *>("Edit1")->setText(weight);
            dialog->findChild<QComboBox *>("ComboBox1")->setCurrentIndex(identification - 1);
            dialog->findChild<QPushButton *>("OKBtn")->click();
        });
    }

    SimulatorProcess simulator{{"--speed", simulatorSpeed}};
    std::shared_ptr<TickSource> ticks = std::make_shared<ScaledTickSource>(programSpeed);
    FakeDialogs dialogs;
    QtEventPump events;
    std::unique_ptr<Program> program;
    QPointer<TForm1> form;
};
