#include "commands/upload_progress_form.h"
#include "serial/connection_summary.h"
#include "tests/support/form_fixture.h"
#include "tests/support/temporary_work_folder.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

using comm::ErrorDeviceNotConnected;
using comm::NoError;

/// The Mode command as the program runs it: the method setup dialog and the progress window,
/// the port on the fake device, the method files in a folder of the test's own.
class MethodTransferFormTest : public FormFixture
{
  protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        progress = form->findChild<TUploadProgressForm *>("UploadProgressForm");
        ASSERT_NE(progress, nullptr);
    }

    /// The user chooses a memory, names the method and presses a titrator button.
    static void inDialog(int slot, const QString &name, const QString &button)
    {
        whenModalLoopRuns([=] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QComboBox *>("TitratorControlComboBoxEx")->setCurrentIndex(slot);
            dialog->findChild<QLineEdit *>("MethodNameEdit")->setText(name);
            dialog->findChild<QAbstractButton *>(button)->click();
        });
    }

    /// The adapter is pulled out, or plugged in again.
    void plug(bool present)
    {
        // A device that is gone fails every call the worker makes to it.
        for (const FakeCall call : {FakeCall::ClearCommError, FakeCall::Purge, FakeCall::Escape})
            device().fail(call, present ? NoError : ErrorDeviceNotConnected);
        driver->setPresent(present);
    }

    TUploadProgressForm *progress = nullptr;

  private:
    // Made before the program, which reads its method files at start.
    TemporaryWorkFolder m_folder;
};

TEST_F(MethodTransferFormTest, AnUploadThroughALostDeviceStopsThereAndSendsNothingMore)
{
    inDialog(12, "Acid", "TitratorSaveButton");
    QByteArray sentBeforeTheLoss;
    // Between two digits of group 2.
    pump.at(10500, [&] {
        sentBeforeTheLoss = device().written();
        plug(false);
    });
    form->Mode1Click();
    EXPECT_EQ(form->statusText(), "Upload aborted - port lost");
    EXPECT_FALSE(progress->isVisible());

    plug(true);
    advance(3000);
    EXPECT_TRUE(form->SerialPort1->Active());
    EXPECT_TRUE(sentBeforeTheLoss.startsWith("L1H"));
    EXPECT_EQ(device().written(), sentBeforeTheLoss);
}

TEST_F(MethodTransferFormTest, SaveAndUploadWithThePortClosedKeepsTheMethodInItsFile)
{
    form->SerialPort1->SetActive(false);
    inDialog(12, "Acid", "TitratorSaveButton");
    form->Mode1Click();
    QFile file("Config/12.ini");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Acid"));
    EXPECT_EQ(form->statusText(), notOpenMessage("COM1"));
    EXPECT_TRUE(device().written().isEmpty());
}

TEST_F(MethodTransferFormTest, SaveAndUploadWithoutAMemorySendsNothing)
{
    inDialog(-1, "Acid", "TitratorSaveButton");
    form->Mode1Click();
    EXPECT_EQ(form->statusText(), "Saving method aborted! - No method memory chosen");
    EXPECT_TRUE(device().written().isEmpty());
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(MethodTransferFormTest, ALoadTheTitratorRefusesSaysWhy)
{
    inDialog(5, "Acid", "TitratorLoadButton");
    // The answer to the METHOD key, sent at 2 s.
    pump.at(2100, [this] { device().receive("LOAD METHOD M5 ?  ENTER\r\n"); });
    pump.at(3100, [this] { device().receive("E5 M5 EMPTY\r\n"); });
    form->Mode1Click();
    EXPECT_EQ(device().written(), "L5QZ\r");
    EXPECT_EQ(form->statusText(), "Loading method failed: E5 M5 EMPTY");
}

TEST_F(MethodTransferFormTest, CancelStopsTheUploadAndResetsTheTitrator)
{
    inDialog(12, "Acid", "TitratorUploadButton");
    QByteArray sentBeforeCancel;
    pump.at(10500, [&] {
        sentBeforeCancel = device().written();
        progress->findChild<QPushButton *>("UpdateDataProgressCancelBtn")->click();
    });
    form->Mode1Click();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(form->statusText(), "Upload cancelled");
    advance(3000);
    EXPECT_EQ(device().written(), sentBeforeCancel + "L");
}

} // namespace
