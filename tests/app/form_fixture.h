#pragma once

// Shared by the main window's tests: one QApplication for the test program, platform dialogs
// answered by the test, the fake serial device on a manual clock, and the program built as at
// start-up.

#include "app/dialogs.h"
#include "app/form1.h"
#include "app/program.h"
#include "command_doubles.h"
#include "serial/manual_clock.h"
#include "serial/platform/fake_comm_device.h"
#include "serial/platform/fake_comm_driver.h"
#include "serial/serial_port.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

/// Deletes the test program's QApplication at the end of the run, while Qt is still whole.
class ApplicationEnvironment : public ::testing::Environment
{
  public:
    QApplication &application()
    {
        static int argc = 1;
        static char name[] = "app_test";
        static char *argv[] = {name, nullptr};
        if (!m_app) {
            // The program's own data (the capture log) goes to a folder of the test run.
            qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
            m_app = std::make_unique<QApplication>(argc, argv);
        }
        return *m_app;
    }
    void TearDown() override { m_app.reset(); }

  private:
    QTemporaryDir m_dataHome;
    std::unique_ptr<QApplication> m_app;
};

inline ApplicationEnvironment *const applicationEnvironment =
    static_cast<ApplicationEnvironment *>(::testing::AddGlobalTestEnvironment(new ApplicationEnvironment));

inline QApplication &testApplication()
{
    return applicationEnvironment->application();
}

/// Clicks the named button of the next modal dialog once it is shown.
inline void answerNextModal(const QString &button)
{
    QTimer::singleShot(0, [button] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto *target = dialog->findChild<QAbstractButton *>(button);
        ASSERT_NE(target, nullptr) << button.toStdString();
        target->click();
    });
}

/// The platform dialogs, answered from fields the test sets.
class FakeDialogs : public Dialogs
{
  public:
    QString openAnswer;
    QString saveAnswer;
    bool printAnswer = true;
    QString pdfFile;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QStringList messages;
    QStringList errors;
    QStringList documents;
    int printSetups = 0;

    QString openFileName(QWidget *, const FileRequest &request) override
    {
        openRequests.append(request);
        return openAnswer;
    }
    QString saveFileName(QWidget *, const FileRequest &request) override
    {
        saveRequests.append(request);
        return saveAnswer;
    }
    bool print(QWidget *, QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
        return printAnswer;
    }
    void printSetup(QWidget *, QPrinter &) override { ++printSetups; }
    void message(QWidget *, const QString &text) override { messages.append(text); }
    void error(QWidget *, const QString &text) override { errors.append(text); }
    void openDocument(const QString &path) override { documents.append(path); }
};

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

    void TearDown() override { program.reset(); }

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
