#include "serial/ui/serial_basic_dlg.h"
#include "terminal/terminal_text.h"
#include "tests/support/form_fixture.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>

namespace {

/// The main window while its device goes away and comes back, with the capture log of the day.
class ConnectionForm : public FormFixture
{
  protected:
    void SetUp() override
    {
        QDir(captureFolder()).removeRecursively();
        FormFixture::SetUp();
        advance(450);
    }

    static QString captureFolder()
    {
        return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("capture");
    }

    static QString todaysCapture()
    {
        return QDir(captureFolder()).filePath(QDate::currentDate().toString("yyyy-MM-dd") + ".txt");
    }

    QString connection() const { return control<QLabel>("ConnectionPanel")->text(); }

    void pull()
    {
        driver->setPresent(false);
        device().fail(FakeCall::ClearCommError, comm::ErrorDeviceNotConnected);
        advance(200);
    }

    TSerialBasicDLG dialog;
};

TEST_F(ConnectionForm, ALostDeviceIsShownSendRefusesAndTheReturnIsShown)
{
    EXPECT_EQ(connection(), "COM1 2400 7E2 open");
    // The connection field stands at the right, the message panel keeps its place at the left.
    EXPECT_GT(control<QLabel>("ConnectionPanel")->x(), control<QLabel>("StatusPanel0")->x());

    pull();
    EXPECT_EQ(form->statusText(), "Port COM1 lost - waiting for the device");
    EXPECT_EQ(connection(), "COM1 2400 7E2 lost");
    // Screen readers read the field by what it shows.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QLabel>("ConnectionPanel"))->text(QAccessible::Name),
              "COM1 2400 7E2 lost");

    const QByteArray terminal = form->terminalText().text();
    control<QLineEdit>("Edit1")->setText("L");
    control<QPushButton>("Send")->click();
    EXPECT_EQ(form->statusText(), "Port COM1 is not open - command not sent");
    EXPECT_EQ(form->terminalText().text(), terminal);
    EXPECT_EQ(control<QLineEdit>("Edit1")->text(), "L");

    device().fail(FakeCall::ClearCommError, comm::NoError);
    driver->setPresent(true);
    EXPECT_TRUE(advance(1200, [this] { return form->SerialPort1->Active(); }));
    EXPECT_EQ(form->statusText(), "Port COM1 reconnected");
    EXPECT_EQ(connection(), "COM1 2400 7E2 open");
    control<QPushButton>("Send")->click();
    EXPECT_EQ(device().written(), "L");

    control<QAction>("Exit1")->trigger();
    EXPECT_EQ(connection(), "COM1 2400 7E2 closed");
}

TEST_F(ConnectionForm, ARefusedSettingIsNamedAndTheDialogShowsWhatThePortHas)
{
    device().refuseSettings([](const comm::Dcb &dcb) { return (dcb.flags & comm::FOutxDsrFlow) != 0; });
    const auto chooseAndPress = [](const QString &flow) {
        whenModalLoopRuns([flow] {
            QWidget *shown = QApplication::activeModalWidget();
            ASSERT_NE(shown, nullptr);
            auto *list = shown->findChild<QComboBox *>("CBFlow");
            list->setCurrentIndex(list->findText(flow));
            shown->findChild<QComboBox *>("CBBaud")->setCurrentText("9600");
            shown->findChild<QAbstractButton *>("OKBtn")->click();
        });
    };
    chooseAndPress("DSR-DTR");
    form->BasicSettingsBtnClick();
    EXPECT_EQ(form->statusText(), "Port refused: DSR-DTR");
    EXPECT_EQ(device().dcb().baudRate, 9600u);
    EXPECT_EQ(connection(), "COM1 9600 7E2 open");
    dialog.PortToDialog(*form->SerialPort1);
    EXPECT_EQ(dialog.findChild<QComboBox *>("CBFlow")->currentText(), "None (*)");
}

TEST_F(ConnectionForm, EveryReceivedClusterIsInTheCaptureFileOfTheDay)
{
    const QByteArray first("\xff\x00 data record 1\r\n", 18);
    device().receive(first);
    advance(1000);
    device().receive("   1.000   0.100   7.012\n\r");
    advance(1000);
    QFile capture(todaysCapture());
    ASSERT_TRUE(capture.open(QIODevice::ReadOnly)) << todaysCapture().toStdString();
    EXPECT_EQ(capture.readAll(), first + "   1.000   0.100   7.012\n\r");

    control<QAction>("OpenCaptureFolder1")->trigger();
    EXPECT_EQ(dialogs.documents, QStringList{captureFolder()});
}

TEST_F(ConnectionForm, AFailingCaptureIsReportedOnceAndReceptionGoesOn)
{
    // A file where the folder should be: the folder cannot be made.
    QDir().mkpath(QFileInfo(captureFolder()).path());
    QFile blocker(captureFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    device().receive("first\r\n");
    advance(1000);
    EXPECT_TRUE(form->statusText().startsWith("Capture log not written - ")) << form->statusText().toStdString();
    form->setStatusText("Ready");
    device().receive("second\r\n");
    advance(1000);
    EXPECT_EQ(form->statusText(), "Ready");
    EXPECT_TRUE(form->terminalText().text().endsWith("first\r\nsecond\r\n"));
    QFile::remove(captureFolder());
}

} // namespace
