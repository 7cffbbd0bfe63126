#pragma once

// Shared by the main window's tests: one QApplication for the test program, platform dialogs
// answered by the test, a pseudo-terminal in place of COM1, and the window built as at start-up.

#include "app/confirm_dialog.h"
#include "app/dialogs.h"
#include "app/form1.h"
#include "serial/serial_port.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QPrinter>
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
        if (!m_app)
            m_app = std::make_unique<QApplication>(argc, argv);
        return *m_app;
    }
    void TearDown() override { m_app.reset(); }

  private:
    std::unique_ptr<QApplication> m_app;
};

inline ApplicationEnvironment *const applicationEnvironment =
    static_cast<ApplicationEnvironment *>(::testing::AddGlobalTestEnvironment(new ApplicationEnvironment));

inline QApplication &testApplication()
{
    return applicationEnvironment->application();
}

/// Runs the event loop until done() holds; false when it did not within the limit. The limit
/// only guards against a hang: the condition normally holds within milliseconds.
inline bool processEventsUntil(const std::function<bool()> &done, int limitMs = 5000)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
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

/// The instrument's end of a serial line: the master side of a raw pseudo-terminal.
class PseudoTerminal
{
  public:
    PseudoTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(m_master);
        unlockpt(m_master);
        termios settings{};
        tcgetattr(m_master, &settings);
        cfmakeraw(&settings);
        tcsetattr(m_master, TCSANOW, &settings);
        m_slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~PseudoTerminal() { close(m_master); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    QString slavePath() const { return m_slave; }

    void send(const QByteArray &bytes) { ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), bytes.size()); }

    /// The bytes the program has written, once count of them have come (or the limit passed).
    QByteArray receive(int count, int limitMs = 5000)
    {
        QByteArray got;
        processEventsUntil(
            [&] {
                char buffer[256];
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, n);
                return got.size() >= count;
            },
            limitMs);
        return got;
    }

    /// True when nothing the program wrote is waiting.
    bool silent()
    {
        pollfd fd{m_master, POLLIN, 0};
        return poll(&fd, 1, 0) == 0;
    }

  private:
    int m_master = -1;
    QString m_slave;
};

/// The main window and the dialogs it uses, created in start-up order with COM1 on a pty.
class FormFixture : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testApplication();
        setenv("KORVANE_COM1", m_line.slavePath().toLocal8Bit().constData(), 1);
        form = std::make_unique<TForm1>(dialogs, SerialBackend::system());
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
        unsetenv("KORVANE_COM1");
    }

    template <typename T> T *control(const QString &name) const
    {
        T *found = form->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    PseudoTerminal &line() { return m_line; }

    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<ConfirmDialog> OKRightDlg10;
    std::unique_ptr<ConfirmDialog> OKRightDlg11;

  private:
    PseudoTerminal m_line;
};
