#include "tests/support/form_fixture.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>

namespace {

/// Every dialog the menus open, worked with the keyboard alone.
class KeyboardTest : public FormFixture
{
  protected:
    /// What keeps the shown modal dialog from being worked with the keyboard alone: a control
    /// that Tab never reaches, buttons without a default one, an Escape that does not close it.
    /// The method dialog keeps Escape for ending an edit and is closed with the window's close key.
    static QStringList problemsOfShownDialog()
    {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return {"no dialog shown"};
        const QString name = dialog->objectName();
        QStringList problems;
        for (QWidget *control : dialog->findChildren<QWidget *>()) {
            const bool interactive = qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control) ||
                                     qobject_cast<QComboBox *>(control) || qobject_cast<QAbstractSpinBox *>(control) ||
                                     qobject_cast<QAbstractItemView *>(control);
            if (interactive && control->isVisibleTo(dialog) && control->isEnabled() &&
                !(control->focusPolicy() & Qt::TabFocus))
                problems.append(name + ": Tab never reaches " + control->objectName());
        }
        const QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
        if (!buttons.isEmpty() && std::none_of(buttons.begin(), buttons.end(), [](const QPushButton *button) {
                return button->isDefault() || button->autoDefault();
            }))
            problems.append(name + ": no default button");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog->focusWidget() ? dialog->focusWidget() : dialog, &escape);
        if (dialog->isVisible() && name != "MethodSetupForm") {
            problems.append(name + ": Escape leaves it open");
        }
        dialog->close();
        return problems;
    }

    /// Triggers the menu entry and audits the dialog it shows.
    QStringList problemsOf(const char *action)
    {
        QStringList problems;
        whenModalLoopRuns([&problems] { problems = problemsOfShownDialog(); });
        control<QAction>(action)->trigger();
        return problems;
    }
};

TEST_F(KeyboardTest, EveryMenuDialogIsReachedByTabHasADefaultButtonAndClosesOnEscape)
{
    form->show();
    QStringList problems;
    for (const char *action : {"ComPortSettings1", "Fillburet1", "Reagentconstant1", "iterconcentration1",
                               "pHCalibration1", "StartTitration1", "Mode1", "New1", "LabServer1"})
        problems += problemsOf(action);
    EXPECT_EQ(problems.join(u'\n').toStdString(), "");
}

} // namespace
