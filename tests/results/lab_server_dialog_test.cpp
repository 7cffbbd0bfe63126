#include "results/journal/lab_server_dialog.h"
#include "tests/support/test_application_environment.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void press(QWidget *widget, Qt::Key key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
}

// Typed and confirmed from the keyboard: Return is OK and turns the server on; without a host it
// says what is missing and stays open; "Use the local journal" turns it off and keeps the fields.
TEST(LabServerDialog, ReturnUsesTheServerAndTheLocalButtonTurnsItOff)
{
    ensureTestApplication<QApplication>();
    LabServerSettings saved;
    saved.database = QStringLiteral("lab");
    LabServerDialog dialog(saved);
    dialog.show();
    auto *host = dialog.findChild<QLineEdit *>(QStringLiteral("LabServerHost"));
    press(host, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.findChild<QLabel *>(QStringLiteral("LabServerResult"))->text().startsWith("Name the server's host"));

    host->setText(QStringLiteral("lab-db"));
    press(host, Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget()->objectName(), QStringLiteral("LabServerPort"));
    press(dialog.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.settings().enabled);
    EXPECT_EQ(dialog.settings().host, QStringLiteral("lab-db"));

    LabServerDialog again(dialog.settings());
    again.findChild<QPushButton *>(QStringLiteral("LabServerLocal"))->click();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_FALSE(again.settings().enabled);
    EXPECT_EQ(again.settings().host, QStringLiteral("lab-db"));
}

} // namespace
