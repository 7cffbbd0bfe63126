#include "serial/ui/serial_basic_dlg.h"
#include "tests/support/form_fixture.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>

namespace {

/// "Com Port Settings" on the main window, with the dialog created as at start-up.
class SettingsDialog : public FormFixture
{
  protected:
    /// Picks a speed in the dialog once it is shown, then presses `button`.
    void answer(const QString &speed, const QString &button)
    {
        whenModalLoopRuns([speed, button] {
            QWidget *shown = QApplication::activeModalWidget();
            ASSERT_NE(shown, nullptr);
            auto *list = shown->findChild<QComboBox *>("CBBaud");
            list->setCurrentIndex(list->findText(speed));
            shown->findChild<QAbstractButton *>(button)->click();
        });
        control<QAction>("ComPortSettings1")->trigger();
    }
};

TEST_F(SettingsDialog, OkWritesTheNewSpeedToTheOpenPort)
{
    ASSERT_TRUE(form->SerialPort1->Active());
    const QStringList opened = driver->openedNames();
    answer("9600", "OKBtn");
    EXPECT_EQ(form->SerialPort1->BaudRate(), 9600u);
    EXPECT_EQ(device().dcb().baudRate, 9600u);
    EXPECT_EQ(device().dcb().byteSize, 7);
    EXPECT_TRUE(form->SerialPort1->Active());
    EXPECT_EQ(driver->openedNames(), opened);
}

TEST_F(SettingsDialog, CancelLeavesThePortAsItWas)
{
    const int states = device().calls(FakeCall::SetCommState);
    answer("9600", "CancelBtn");
    EXPECT_EQ(form->SerialPort1->BaudRate(), 2400u);
    EXPECT_EQ(device().calls(FakeCall::SetCommState), states);
}

TEST_F(SettingsDialog, ShowsThePortsPresentSettingsEachTime)
{
    form->SerialPort1->SetBaudRate(19200);
    QString shown;
    whenModalLoopRuns([&shown] {
        QWidget *dialog = QApplication::activeModalWidget();
        shown = dialog->findChild<QComboBox *>("CBBaud")->currentText();
        dialog->findChild<QAbstractButton *>("CancelBtn")->click();
    });
    form->BasicSettingsBtnClick();
    EXPECT_EQ(shown, "19200");
}

// As shown on the screen, with a long device name in the port list.
TEST_F(SettingsDialog, EveryFieldHasItsFullHeightWithinTheFixedSize)
{
    driver->setAvailablePorts({"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
    TSerialBasicDLG dialog;
    dialog.PortToDialog(*form->SerialPort1);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.size(), QSize(473, 367));
    for (QWidget *field : dialog.findChildren<QWidget *>()) {
        // An editable list's own editor is sized by the list around it.
        if ((!qobject_cast<QLineEdit *>(field) && !qobject_cast<QComboBox *>(field)) ||
            qobject_cast<QComboBox *>(field->parentWidget()))
            continue;
        const QRect place(field->mapTo(&dialog, QPoint(0, 0)), field->size());
        EXPECT_GE(field->height(), field->sizeHint().height()) << field->objectName().toStdString();
        EXPECT_TRUE(dialog.rect().contains(place)) << field->objectName().toStdString();
    }
    dialog.hide();
}

} // namespace
