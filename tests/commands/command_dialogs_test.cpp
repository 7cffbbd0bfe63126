#include "commands/command_dialogs.h"
#include "tests/support/form_fixture.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QWidget *topLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            return widget;
    return nullptr;
}

/// Once the next modal dialog shows, lets act fill it in and then presses key in it.
void answerNextDialog(std::function<void(QWidget *)> act, Qt::Key key)
{
    whenModalLoopRuns([act = std::move(act), key] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    });
}

void typeInto(QWidget *dialog, const QString &text)
{
    auto *edit = dialog->findChild<QLineEdit *>("Edit1");
    ASSERT_NE(edit, nullptr);
    edit->setText(text);
}

class CommandDialogsTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { testApplication(); }

    CommandDialogs dialogs;
};

TEST_F(CommandDialogsTest, AreSkyBlueWithOkAsDefault)
{
    for (const char *name :
         {"OKRightDlg3", "OKRightDlg5", "OKRightDlg6", "OKRightDlg7", "OKRightDlg8", "OKRightDlg9"}) {
        SCOPED_TRACE(name);
        QWidget *dialog = topLevel(name);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Dialog");
        EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(0xA6CAF0));
        EXPECT_TRUE(dialog->findChild<QPushButton *>("OKBtn")->isDefault());
        EXPECT_EQ(dialog->findChild<QPushButton *>("CancelBtn")->text(), "Cancel");
    }
}

TEST_F(CommandDialogsTest, ShowTheirTexts)
{
    const std::map<QString, QStringList> texts{
        {"OKRightDlg3", {"Sample Weight in g:", "Sample indentification:"}},
        {"OKRightDlg5", {"Please enter volume in ml:", "(Leave empty to fill completely)"}},
        {"OKRightDlg6", {"Enter titer concentration (format 0.99):", "mol/l"}},
        {"OKRightDlg7", {"Enter Reagent constant (format 0.25)"}},
        {"OKRightDlg8", {"Please immerse elektrode in", "buffer pH 4 and press OK"}},
        {"OKRightDlg9", {"Please immerse elektrode in", "buffer pH 7 and press OK"}},
    };
    for (const auto &[name, expected] : texts) {
        QStringList shown;
        for (const QLabel *label : topLevel(name)->findChildren<QLabel *>())
            shown << label->text();
        EXPECT_EQ(shown, expected) << name.toStdString();
    }
}

TEST_F(CommandDialogsTest, RunShowsOneWithoutChoosingIt)
{
    auto *identification = topLevel("OKRightDlg3")->findChild<QComboBox *>("ComboBox1");
    EXPECT_EQ(identification->currentIndex(), -1);
    EXPECT_EQ(identification->placeholderText(), "1");
    EXPECT_EQ(identification->count(), 9);
    EXPECT_EQ(identification->itemText(8), "9");

    answerNextDialog([](QWidget *) {}, Qt::Key_Return);
    const auto entry = dialogs.askRun();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->weight, "");
    EXPECT_EQ(entry->identification, "");
}

TEST_F(CommandDialogsTest, RunGivesTheTypedWeightAndTheChosenEntry)
{
    answerNextDialog(
        [](QWidget *dialog) {
            typeInto(dialog, "0.2531");
            dialog->findChild<QComboBox *>("ComboBox1")->setCurrentIndex(2);
        },
        Qt::Key_Return);
    const auto entry = dialogs.askRun();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->weight, "0.2531");
    EXPECT_EQ(entry->identification, "3");
}

TEST_F(CommandDialogsTest, KeepWhatWasTypedAndEscapeCancels)
{
    answerNextDialog([](QWidget *dialog) { typeInto(dialog, "10"); }, Qt::Key_Return);
    EXPECT_EQ(dialogs.askBuretVolume(), "10");

    answerNextDialog([](QWidget *) {}, Qt::Key_Escape);
    EXPECT_EQ(dialogs.askBuretVolume(), std::nullopt);

    answerNextDialog([](QWidget *) {}, Qt::Key_Return);
    EXPECT_EQ(dialogs.askBuretVolume(), "10");
}

TEST_F(CommandDialogsTest, BufferQuestionsFollowTheButtons)
{
    answerNextDialog([](QWidget *) {}, Qt::Key_Return);
    EXPECT_TRUE(dialogs.confirmBufferPh4());
    answerNextDialog([](QWidget *) {}, Qt::Key_Escape);
    EXPECT_FALSE(dialogs.confirmBufferPh7());
}

} // namespace

TEST_F(CommandDialogsTest, OkRefusesWhatIsNotANumberAndKeepsTheDialogOpen)
{
    struct Case
    {
        std::function<bool(CommandDialogs &)> ask;
        const char *field;
    };
    const QList<Case> cases = {
        {[](CommandDialogs &d) { return d.askRun().has_value(); }, "Sample weight"},
        {[](CommandDialogs &d) { return d.askBuretVolume().has_value(); }, "Buret volume"},
        {[](CommandDialogs &d) { return d.askTiterConcentration().has_value(); }, "Titer concentration"},
        {[](CommandDialogs &d) { return d.askReagentConstant().has_value(); }, "Reagent constant"},
    };
    for (const Case &c : cases) {
        for (const QString typed : {"O.25", "1.2.3", "L", "0,25", " 1", "."}) {
            SCOPED_TRACE(c.field + (": " + typed.toStdString()));
            QString refusal;
            bool stillOpen = false;
            QString kept;
            answerNextDialog(
                [&](QWidget *dialog) {
                    typeInto(dialog, typed);
                    // The message over the dialog; once it is closed, the dialog is looked at and left.
                    whenModalLoopRuns([&, dialog] {
                        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                        ASSERT_NE(box, nullptr);
                        refusal = box->text();
                        QTimer::singleShot(0, [&, dialog] {
                            stillOpen = dialog->isVisible();
                            kept = dialog->findChild<QLineEdit *>("Edit1")->text();
                            qobject_cast<QDialog *>(dialog)->reject();
                        });
                        box->accept();
                    });
                },
                Qt::Key_Return);
            EXPECT_FALSE(c.ask(dialogs));
            EXPECT_TRUE(refusal.startsWith(QString(c.field) + ": \"" + typed + "\" is not a number"))
                << refusal.toStdString();
            EXPECT_TRUE(stillOpen);
            EXPECT_EQ(kept, typed);
        }
        // Digits with one point, and an empty field, still pass.
        for (const QString typed : {"0.25", "10", ".5", "7.", ""}) {
            answerNextDialog([&](QWidget *dialog) { typeInto(dialog, typed); }, Qt::Key_Return);
            EXPECT_TRUE(c.ask(dialogs)) << c.field << ": " << typed.toStdString();
        }
    }
}

TEST_F(CommandDialogsTest, ScreenReadersAnnounceTheCaption)
{
    for (const char *name : {"OKRightDlg3", "OKRightDlg8"}) {
        QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(topLevel(name));
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->text(QAccessible::Name), "Dialog") << name;
    }
}
