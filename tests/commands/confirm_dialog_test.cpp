#include "tests/support/form_fixture.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TEST(ConfirmDialog, RedQuestionWithOkAsDefaultAndEscapeAsCancel)
{
    testApplication();
    ConfirmDialog dialog(QStringLiteral("OKRightDlg11"), QStringLiteral("File exists. Overwrite?"), true);
    EXPECT_EQ(dialog.windowTitle(), "Dialog");
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(0xFF, 0x00, 0x00));
    auto *label = dialog.findChild<QLabel *>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "File exists. Overwrite?");
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(dialog.findChild<QPushButton *>("OKBtn")->isDefault());

    whenModalLoopRuns([] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(QApplication::activeModalWidget(), &escape);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    whenModalLoopRuns([] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(QApplication::activeModalWidget()->focusWidget(), &enter);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}
