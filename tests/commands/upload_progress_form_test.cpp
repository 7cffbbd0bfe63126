#include "commands/animation_strip.h"
#include "commands/upload_progress_form.h"
#include "controls/gauge.h"
#include "tests/support/form_fixture.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <qpa/qwindowsysteminterface.h>

namespace {

/// The progress window as the program creates it over the main window.
class UploadProgressFormTest : public FormFixture
{
  protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->show();
        window = form->findChild<TUploadProgressForm *>("UploadProgressForm");
        ASSERT_NE(window, nullptr);
        gauge = window->findChild<TGauge *>("UpdateDataProgressGauge");
        ok = window->findChild<QPushButton *>("UpdateDataProgressBitBtn");
        cancel = window->findChild<QPushButton *>("UpdateDataProgressCancelBtn");
        animation = window->findChild<AnimationStrip *>("Animate");
    }

    /// The user clicks into the main window.
    void activateMainWindow()
    {
        form->activateWindow();
        settle();
    }

    static void settle()
    {
        for (int pass = 0; pass < 5; ++pass)
            QCoreApplication::processEvents();
    }

    TUploadProgressForm *window = nullptr;
    TGauge *gauge = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    AnimationStrip *animation = nullptr;
};

TEST_F(UploadProgressFormTest, ShowsLabelAnimationAndGaugeCentredOverTheMainWindow)
{
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->size(), QSize(291, 127));
    EXPECT_EQ(gauge->size(), QSize(273, 16));
    EXPECT_EQ(animation->size(), QSize(272, 60));
    EXPECT_EQ(gauge->MaxValue(), 13);
    EXPECT_EQ(gauge->BackColor(), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(gauge->BorderStyle(), TGauge::bsNone);

    window->begin("Saving data in progress...");
    auto *label = window->findChild<QLabel *>("UpdateDataProgressLabel");
    EXPECT_EQ(label->text(), "Saving data in progress...");
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->frameGeometry().center(), form->frameGeometry().center());
    EXPECT_TRUE(animation->isPlaying());
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(cancel->isVisible() && cancel->isEnabled());
    EXPECT_EQ(gauge->Progress(), 0);

    window->advance(4);
    window->advance(4);
    EXPECT_EQ(gauge->Progress(), 8);
    window->markFinished();
    EXPECT_EQ(gauge->Progress(), 13);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_FALSE(cancel->isEnabled());
    window->dismiss();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(animation->isPlaying());
}

TEST_F(UploadProgressFormTest, KeepsTheFocusWhileRunningAndClosesWhenLeftAfterTheEnd)
{
    window->begin("Uploading data in progress...");
    activateMainWindow();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), window);

    window->markFinished();
    activateMainWindow();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), form.get());
}

TEST_F(UploadProgressFormTest, LeavesTheFocusToAnotherProgram)
{
    window->begin("Uploading data in progress...");
    settle();
    ASSERT_EQ(QApplication::activeWindow(), window);
    // The user switches to another program: the platform reports no window of this one active.
    QWindowSystemInterface::handleWindowActivated(nullptr);
    QWindowSystemInterface::flushWindowSystemEvents();
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), nullptr);
}

TEST_F(UploadProgressFormTest, ModeClosedWithoutAButtonResetsTheTitrator)
{
    whenModalLoopRuns([] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "MethodSetupForm");
        dialog->close();
    });
    control<QAction>("Mode1")->trigger();
    EXPECT_EQ(device().written(), "L");
    EXPECT_EQ(form->statusText(), "Mode stopped");
}

} // namespace
