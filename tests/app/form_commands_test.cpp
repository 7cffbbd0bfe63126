#include "tests/support/form_fixture.h"

#include <QAction>
#include <QDate>
#include <QDialog>
#include <QThread>
#include <QToolButton>

namespace {

/// The commands wired into the main window as at start-up, on the fake device; the waits run on
/// the port's manual clock.
class FormCommandsTest : public FormFixture
{
  protected:
    /// Every dialog a command shows is answered with "OK" as soon as it is up.
    void acceptEveryDialog()
    {
        acceptor.setInterval(0);
        // Only from inside the dialog's own loop: Windows shows a dialog before exec() runs it.
        QObject::connect(&acceptor, &QTimer::timeout, [outerLevel = QThread::currentThread()->loopLevel()] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (dialog && QThread::currentThread()->loopLevel() > outerLevel)
                dialog->accept();
        });
        acceptor.start();
    }

    QToolButton *toolButton(const QString &hint) const
    {
        for (auto *button : form->findChildren<QToolButton *>())
            if (button->accessibleName() == hint)
                return button;
        ADD_FAILURE() << hint.toStdString();
        return nullptr;
    }

    QTimer acceptor;
};

struct MenuCase
{
    const char *action;
    QByteArray sent;
};

class FormMenuTest : public FormCommandsTest, public ::testing::WithParamInterface<MenuCase>
{
};

TEST_P(FormMenuTest, EntrySendsItsKeys)
{
    acceptEveryDialog();
    control<QAction>(GetParam().action)->trigger();
    EXPECT_EQ(device().written(), GetParam().sent);
}

QByteArray today()
{
    const QDate date = QDate::currentDate();
    return QByteArray::number(date.day()) + "O" + QByteArray::number(date.month()) + "O" +
           QByteArray::number(date.year() - 2000) + "O";
}

INSTANTIATE_TEST_SUITE_P(FormCommands, FormMenuTest,
                         ::testing::Values(MenuCase{"SetDate1", today()}, MenuCase{"Fillburet1", "M"},
                                           MenuCase{"pHCalibration1", "NOO"}, MenuCase{"Reagentconstant1", "FZ"},
                                           MenuCase{"iterconcentration1", "IZ"}, MenuCase{"ListCurrentMethod1", "2H\r"},
                                           MenuCase{"ListAllMethods1", "0H\r"}, MenuCase{"StartTitration1", "OOOO\r"},
                                           MenuCase{"Getresultsshort1", "4O"}, MenuCase{"Getresultstable1", "7O"},
                                           MenuCase{"ViewpH1", "3N"}, MenuCase{"ViewmVpH1", "2N"},
                                           MenuCase{"Keyboard1", "Y"}, MenuCase{"Stirrer1", "2O"}),
                         [](const auto &info) { return std::string(info.param.action); });

TEST_F(FormCommandsTest, ResetAndStatusRunFromTheToolBar)
{
    toolButton("Reset")->click();
    EXPECT_EQ(form->statusText(), "RESET");
    toolButton("Status")->click();
    EXPECT_EQ(form->statusText(), "Asking Status");
    EXPECT_EQ(device().written(), "L?");
}

TEST_F(FormCommandsTest, ClosedPortNamesThePortAndSendsNothing)
{
    form->SerialPort1->SetActive(false);
    control<QAction>("StartTitration1")->trigger();
    EXPECT_EQ(form->statusText(), "Port COM1 is not open - command not sent");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(FormCommandsTest, QuitDuringASequenceClosesAtOnceAndEndsWhenItIsDone)
{
    const std::uint64_t quitAt = clock->elapsed() + 500;
    pump.at(quitAt, [this] {
        control<QAction>("Exit1")->trigger();
        EXPECT_FALSE(form->SerialPort1->Active());
    });
    // As in the program: the application ends with the window, but only once the handler is back.
    QObject::connect(form.get(), &TForm1::closed, qApp, &QCoreApplication::quit);
    bool sequenceDone = false;
    QTimer::singleShot(0, [&] {
        control<QAction>("ListCurrentMethod1")->trigger();
        sequenceDone = true;
    });
    QCoreApplication::exec();
    EXPECT_TRUE(sequenceDone);
    // The sequence ends with the wait it was in, sending nothing more.
    EXPECT_LT(clock->elapsed() - quitAt, 1000u);
    EXPECT_EQ(device().written(), "2");
}

} // namespace
