#pragma once

// Shared by the main window's tests: the QApplication of the test program, platform dialogs
// answered by the test, the fake serial device on a manual clock, and the program built as at
// start-up.

#include "app/form1.h"
#include "app/program.h"
#include "common/dialogs.h"
#include "results/result_table_model.h"
#include "serial/manual_clock.h"
#include "serial/platform/fake_comm_device.h"
#include "serial/platform/fake_comm_driver.h"
#include "serial/serial_port.h"
#include "terminal/terminal_edit.h"
#include "tests/support/command_doubles.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/test_application_environment.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

/// The terminal's lines as it shows them, joined by LF.
inline QString shownLines(const TerminalEdit &terminal)
{
    QStringList lines;
    for (qsizetype line = 0; line < terminal.terminalText().lineCount(); ++line)
        lines.append(terminal.lineText(line));
    return lines.join(u'\n');
}

inline void testApplication()
{
    ensureTestApplication<QApplication>();
}

/// Clicks the named button of the next modal dialog once it is shown.
inline void answerNextModal(const QString &button)
{
    whenModalLoopRuns([button] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto *target = dialog->findChild<QAbstractButton *>(button);
        ASSERT_NE(target, nullptr) << button.toStdString();
        target->click();
    });
}

/// The program with its port on the fake device; its waits and simulated time move only in
/// advance() or in the waits of the pump.
class FormFixture : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { testApplication(); }

    void SetUp() override
    {
        program = std::make_unique<Program>(Platform{dialogs, SerialBackend{driver, clock}, clock, pump});
        form = &program->mainWindow();
    }

    void TearDown() override
    {
        program.reset();
        // A quit the closed window posted would end a later case's loops at once where the
        // cases share a process, as they do on Windows.
        QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
    }

    /// Lets ms of simulated time pass a millisecond at a time, serving the port's events as the
    /// main loop does; stops early once done() holds. Returns whether done() held.
    bool advance(
        uint32_t ms, const std::function<bool()> &done = [] { return false; })
    {
        serve();
        for (uint32_t i = 0; i < ms && !done(); ++i) {
            clock->advance(1);
            serve();
        }
        return done();
    }

    FakeCommDevice &device() { return driver->device(); }

    template <typename T> T *control(const QString &name) const
    {
        T *found = form->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    /// The result table's cells, as exports and the curve read them.
    ResultTableModel &cells() const
    {
        return *static_cast<ResultTableModel *>(control<QTableView>(QStringLiteral("Table"))->model());
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeCommDriver> driver = std::make_shared<FakeCommDriver>(*clock);
    FakeDialogs dialogs;
    ScriptedPump pump{*clock, 1};
    std::unique_ptr<Program> program;
    QPointer<TForm1> form;

  private:
    void serve()
    {
        clock->advance(0);
        while (clock->parked() > 0) {
            QCoreApplication::processEvents();
            clock->advance(0);
        }
        QCoreApplication::processEvents();
    }
};
