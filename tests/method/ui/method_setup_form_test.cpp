#include "method/method_error.h"
#include "method/profile_file.h"
#include "method/ui/info_form.h"
#include "method/ui/method_setup_form.h"
#include "method/ui/page_info.h"
#include "tests/method/test_files.h"
#include "tests/support/fake_message_boxes.h"
#include "tests/support/test_application_environment.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>
#include <memory>

namespace {

using Codes = std::array<ModeCode, 12>;

void expectSameMethod(const MethodSettings &actual, const MethodSettings &expected)
{
    EXPECT_EQ(actual.name(), expected.name());
    for (const Setting setting : SettingInfo::all()) {
        if (SettingInfo::of(setting).isChoice())
            EXPECT_EQ(actual.choice(setting), expected.choice(setting)) << SettingInfo::of(setting).key;
        else
            EXPECT_EQ(actual.text(setting), expected.text(setting)) << SettingInfo::of(setting).key;
    }
}

class MethodSetupFormTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { ensureTestApplication<QApplication>(); }

    TMethodSetupForm &form()
    {
        if (!m_form)
            m_form = std::make_unique<TMethodSetupForm>(m_folder, m_boxes);
        return *m_form;
    }
    template <typename T> T *control(const char *name) { return form().findChild<T *>(QLatin1String(name)); }
    QListWidget *list(const char *name) { return control<QListWidget>(name); }
    QLineEdit *field(const char *name) { return control<QLineEdit>(name); }
    QComboBox *memory() { return control<QComboBox>("TitratorControlComboBoxEx"); }
    QString visiblePage() { return control<QStackedWidget>("GroupPages")->currentWidget()->objectName(); }
    QString header() { return control<QLabel>("HeaderLabel")->text(); }
    QByteArray bytes(const QString &name) const { return test_files::read(m_folder.path() + '/' + name); }
    void setBytes(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(m_folder.path());
        test_files::write(m_folder.path() + '/' + name, bytes);
    }

    void click(const char *button) { control<QAbstractButton>(button)->click(); }
    /// Shows the dialog modally as the main window does and presses the button once it is up.
    void runWith(const char *button)
    {
        whenModalLoopRuns([this, button] { click(button); });
        form().exec();
    }
    Codes codes()
    {
        TMethodSetupForm &f = form();
        return {f.TitrationtypeModeCode(),     f.ControlModeCode(),         f.PredosageModeCode(),
                f.BueretteModeCode(),          f.EndpointDosageBarrierModeCode(), f.AgitationTimeModeCode(),
                f.ResultCalculationModeCode(), f.SystemModeCode(),          f.ConditioningTimeModeCode(),
                f.FlushingTimeModeCode(),      f.DosageRinseModeCode(),     f.DosageDoseModeCode()};
    }
    void expectNoFlags()
    {
        EXPECT_EQ(form().TitratorUploadButtonState(), 0);
        EXPECT_EQ(form().TitratorLoadButtonState(), 0);
        EXPECT_EQ(form().TitratorSaveButtonState(), 0);
    }

    static void mouseClick(QListWidget *box, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPoint at = box->visualItemRect(box->item(row)).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, box->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, modifiers);
            QApplication::sendEvent(box->viewport(), &event);
        }
    }
    static void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      const QString &text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &event);
    }
    /// One notch of the wheel over the middle of the widget, delivered as the window system does.
    void turnWheel(QWidget *target)
    {
        const QPoint at = target->mapTo(&form(), target->rect().center());
        QWindowSystemInterface::handleWheelEvent(form().windowHandle(), at, form().mapToGlobal(at), QPoint(),
                                                 QPoint(0, -120));
        QCoreApplication::processEvents();
    }
    void showActive()
    {
        form().show();
        form().activateWindow();
        QCoreApplication::processEvents();
        ASSERT_TRUE(form().isActiveWindow());
    }

    QTemporaryDir m_dir;
    MethodFolder m_folder{m_dir.filePath("Config")};
    FakeMessageBoxes<> m_boxes;
    std::unique_ptr<TMethodSetupForm> m_form;
};

TEST_F(MethodSetupFormTest, ClosingWithTheCloseBoxSetsNoFlagAndKeepsTheEdits)
{
    runWith("TitratorUploadButton");
    const Codes before = codes();
    form().ResetTitratorUploadButtonState();
    form().show();
    field("MethodNameEdit")->setText("Edited");
    list("SpecialModesListBox")->setCurrentRow(4);
    field("PredosageVolumeEdit")->setText("77");
    form().close();

    expectNoFlags();
    EXPECT_EQ(codes(), before);
    form().show();
    EXPECT_EQ(field("MethodNameEdit")->text(), "Edited");
    EXPECT_EQ(form().settings().choice(Setting::SpecialModes), 4);
    EXPECT_EQ(form().settings().text(Setting::PredosageVolume), "77");
    EXPECT_TRUE(m_boxes.messages.isEmpty());
}

TEST_F(MethodSetupFormTest, LoadAndSaveGoAheadWithoutASlot)
{
    EXPECT_EQ(form().selectedSlot(), -1);
    runWith("TitratorLoadButton");
    EXPECT_EQ(form().TitratorLoadButtonState(), -1);
    EXPECT_EQ(form().TitratorUploadButtonState(), 0);
    EXPECT_EQ(codes(), Codes{});

    form().ResetTitratorLoadButtonState();
    field("MethodNameEdit")->setText("Acid");
    runWith("TitratorSaveButton");
    EXPECT_EQ(form().TitratorUploadButtonState(), -1);
    EXPECT_EQ(form().TitratorSaveButtonState(), -1);
    EXPECT_EQ(form().selectedSlot(), -1);

    form().IniFileSave();
    EXPECT_EQ(m_boxes.messages, QStringList{MethodSettings::kSaveWithoutSlotMessage});
    EXPECT_EQ(bytes("LastModified.ini"), "[Last Modified]\r\nMethod=-1\r\n");
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"LastModified.ini"});
}

TEST_F(MethodSetupFormTest, SaveWantsANameButRemembersTheSlotFirst)
{
    memory()->setCurrentIndex(3);
    EXPECT_EQ(field("MethodNameEdit")->text(), "3. Free");
    field("MethodNameEdit")->clear();
    form().show();
    click("TitratorSaveButton");
    EXPECT_EQ(m_boxes.messages, QStringList{"Method cannot be saved, until Method Name has been set."});
    EXPECT_EQ(bytes("LastModified.ini"), "[Last Modified]\r\nMethod=3\r\n");
    EXPECT_FALSE(QFile::exists(m_folder.path() + "/3.ini"));
    EXPECT_TRUE(form().isVisible());
    expectNoFlags();

    field("MethodNameEdit")->setText("Base");
    click("TitratorSaveButton");
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(form().TitratorUploadButtonState(), -1);
    EXPECT_EQ(form().TitratorSaveButtonState(), -1);
    form().IniFileSave();
    EXPECT_EQ(m_folder.slotName(3), "Base");
    EXPECT_EQ(m_boxes.messages.size(), 1);
}

// A method file too large to read is named to the program every time the slots are read.
TEST_F(MethodSetupFormTest, AnOversizedMethodFileIsNamedWhenTheSlotsAreRead)
{
    setBytes("5.ini", "[0]\r\nMethod Name=Big\r\n" + QByteArray(ProfileFile::kMaxSize, ';'));
    QStringList warnings;
    form().OnFolderWarning = [&warnings](const QString &warning) { warnings.append(warning); };
    form().show();
    memory()->setCurrentIndex(5);
    form().hide();
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].startsWith("Not read, larger than 1 MiB: ")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].endsWith("5.ini"));
    EXPECT_EQ(memory()->itemText(5), "5. Free");
}

TEST_F(MethodSetupFormTest, ARefusedWriteOnSaveIsAnErrorBoxAndSetsNoFlag)
{
    setBytes("LastModified.ini", "[Last Modified]\r\nMethod=2\r\n");
    QFile::setPermissions(m_folder.path() + "/LastModified.ini", QFile::ReadOwner);
    field("MethodNameEdit")->setText("Base");
    form().show();
    click("TitratorSaveButton");
    EXPECT_EQ(m_boxes.errors, QStringList{"Unable to write to " + m_folder.path() + "/LastModified.ini"});
    EXPECT_TRUE(form().isVisible());
    expectNoFlags();
    EXPECT_THROW(form().IniFileSave(), MethodError);
}

TEST_F(MethodSetupFormTest, ChoosingAnotherSlotReplacesNameAndSettingsAtOnce)
{
    setBytes("5.ini", "[0]\r\nMethod Name=Five\r\n[1]\r\nSpecialModes=6\r\n[12]\r\nDosageDose=42\r\n");
    memory()->setCurrentIndex(4);
    runWith("TitratorUploadButton");
    const Codes before = codes();
    form().show();
    field("MethodNameEdit")->setText("typed");
    field("DosageDoseEdit")->setText("1");
    list("TitrationNatureListBox")->setCurrentRow(3);

    press(memory(), Qt::Key_Down);
    EXPECT_EQ(form().selectedSlot(), 5);
    MethodSettings expected;
    expected.setName("Five");
    expected.setChoice(Setting::SpecialModes, 6);
    expected.setText(Setting::DosageDose, "42");
    expectSameMethod(form().settings(), expected);
    EXPECT_EQ(codes(), before);
    EXPECT_TRUE(m_boxes.messages.isEmpty());
}

TEST_F(MethodSetupFormTest, TheTimeControlRuleFollowsTheUsersOwnSelectionOnly)
{
    QListWidget *timeControl = list("TimeControlListBox");
    QListWidget *balance = list("BalanceListBox");
    balance->setCurrentRow(2);
    form().show();
    auto *tree = control<QTreeWidget>("MainMenuTreeView");
    tree->setCurrentItem(tree->topLevelItem(1));
    mouseClick(timeControl, 5);
    EXPECT_FALSE(balance->isEnabled());
    EXPECT_EQ(form().settings().choice(Setting::Balance), -1);

    // Enabled again, the balance list holds the choice it had before.
    press(timeControl, Qt::Key_Up);
    EXPECT_EQ(form().settings().choice(Setting::TimeControl), 4);
    EXPECT_TRUE(balance->isEnabled());
    EXPECT_EQ(form().settings().choice(Setting::Balance), 2);
    runWith("TitratorUploadButton");
    EXPECT_EQ(form().ControlModeCode().digits, (std::array<std::int32_t, 4>{0, 0, 4, 3}));

    // Reading a method with time control 7 leaves the balance list as the user left it.
    setBytes("1.ini", "[2]\r\nTimeControl=7\r\nBalance=3\r\n");
    memory()->setCurrentIndex(1);
    EXPECT_TRUE(balance->isEnabled());
    EXPECT_EQ(form().settings().choice(Setting::Balance), 3);
}

// The close box after a refused store must not upload what was refused, so no flag is set.
TEST_F(MethodSetupFormTest, ALetterInAFieldIsReportedByItsFieldWithItsPageInViewAndSetsNoFlag)
{
    field("PredosageVolumeEdit")->setText("205");
    field("AgitationTimeEdit")->setText("1a");
    form().show();
    click("TitratorUploadButton");

    EXPECT_EQ(m_boxes.errors, QStringList{"Agitation time: 'a' is not a valid integer value"});
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(visiblePage(), "AgitationTimePanel");
    EXPECT_EQ(header(), "6. Agitation Time");
    form().close();
    expectNoFlags();
    EXPECT_EQ(form().PredosageModeCode().digits, (std::array<std::int32_t, 4>{0, 2, 0, 5}));
    EXPECT_EQ(form().AgitationTimeModeCode().digits, (std::array<std::int32_t, 4>{0, 0, 1, 0}));
}

TEST_F(MethodSetupFormTest, TheWheelChangesOnlyTheDropDownListThatHasTheFocus)
{
    setBytes("1.ini", "[0]\r\nMethod Name=One\r\n");
    setBytes("2.ini", "[0]\r\nMethod Name=Two\r\n");
    memory()->setCurrentIndex(1);
    showActive();
    auto *measurement = control<QComboBox>("MeasurementComboBox");
    field("MethodNameEdit")->setFocus();

    for (QComboBox *dropDown : {memory(), measurement}) {
        turnWheel(dropDown);
        EXPECT_FALSE(dropDown->hasFocus()) << dropDown->objectName().toStdString();
    }
    EXPECT_EQ(form().selectedSlot(), 1);
    EXPECT_EQ(field("MethodNameEdit")->text(), "One");
    EXPECT_EQ(measurement->currentIndex(), 0);

    // The same turn reaches a list the user is working in.
    measurement->setFocus();
    turnWheel(measurement);
    EXPECT_EQ(measurement->currentIndex(), 1);
    memory()->setFocus();
    turnWheel(memory());
    EXPECT_EQ(form().selectedSlot(), 2);
    EXPECT_EQ(field("MethodNameEdit")->text(), "Two");
}

TEST_F(MethodSetupFormTest, NoListCanBeLeftWithoutAChoice)
{
    form().show();
    for (const char *name : {"SpecialModesListBox", "TitrationNatureListBox", "TimeControlListBox", "BalanceListBox",
                             "SpecialCountingsListBox", "ResultUnitListBox"}) {
        QListWidget *box = list(name);
        mouseClick(box, 1);
        mouseClick(box, 1, Qt::ControlModifier);
        EXPECT_EQ(box->selectedItems().size(), 1) << name;
        press(box, Qt::Key_Space, Qt::ControlModifier, " ");
        EXPECT_EQ(box->selectedItems().size(), 1) << name;
        EXPECT_EQ(box->currentRow(), 1) << name;
    }
    click("TitratorUploadButton");
    EXPECT_EQ(m_boxes.errors, QStringList());
    EXPECT_EQ(form().TitrationtypeModeCode().digits, (std::array<std::int32_t, 4>{1, 0, 0, 2}));
}

// A value outside its list, written by hand or by another program, shows as no choice and is
// never sent: the upload is refused naming the list until the user chooses.
TEST_F(MethodSetupFormTest, AMethodFileValueOutsideItsListIsShownUnchosenAndRefusedNamingTheList)
{
    QByteArray method = test_files::kSampleMethod;
    method.replace("ConditioningTimeProductionRun=1", "ConditioningTimeProductionRun=2");
    setBytes("LastModified.ini", "[Last Modified]\r\nMethod=3\r\n");
    setBytes("3.ini", method);
    auto *productionRun = control<QComboBox>("ConditioningTimeProductionRunComboBox");
    EXPECT_EQ(productionRun->currentIndex(), -1);
    form().show();
    click("TitratorSaveButton");

    EXPECT_EQ(m_boxes.errors, QStringList{"...production run...: no item is chosen"});
    EXPECT_EQ(visiblePage(), "SerialTitrationPanel");
    EXPECT_TRUE(form().isVisible());
    expectNoFlags();
    EXPECT_EQ(form().ConditioningTimeModeCode().digits, (std::array<std::int32_t, 4>{1, 2, 3, 0}));

    productionRun->setCurrentIndex(1);
    click("TitratorSaveButton");
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(form().TitratorUploadButtonState(), -1);
    EXPECT_EQ(form().ConditioningTimeModeCode().digits, (std::array<std::int32_t, 4>{1, 2, 3, 1}));
}

TEST_F(MethodSetupFormTest, EscapeEndsAnEditButNeverTheDialog)
{
    showActive();
    for (const char *name : {"MethodNameEdit", "PredosageVolumeEdit"}) {
        QLineEdit *edit = field(name);
        edit->setFocus();
        edit->setText("12");
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent(form().windowHandle(), type, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::processEvents();
        EXPECT_TRUE(form().isVisible()) << name;
        EXPECT_EQ(edit->text(), "12") << name;
    }
    expectNoFlags();
    EXPECT_EQ(form().result(), QDialog::Rejected);
}

TEST_F(MethodSetupFormTest, EditsCountAsUnsavedUntilAMethodFileHoldsThem)
{
    setBytes("LastModified.ini", "[Last Modified]\r\nMethod=3\r\n");
    setBytes("3.ini", test_files::kSampleMethod);
    setBytes("4.ini", "[0]\r\nMethod Name=Four\r\n");
    EXPECT_FALSE(form().hasUnsavedEdits());
    field("PredosageVolumeEdit")->setText("206");
    EXPECT_TRUE(form().hasUnsavedEdits());
    field("PredosageVolumeEdit")->setText("205");
    EXPECT_FALSE(form().hasUnsavedEdits());

    list("SpecialModesListBox")->setCurrentRow(2);
    form().IniFileSave();
    EXPECT_FALSE(form().hasUnsavedEdits());
    field("MethodNameEdit")->setText("Renamed");
    memory()->setCurrentIndex(4);
    EXPECT_FALSE(form().hasUnsavedEdits());
}

TEST_F(MethodSetupFormTest, SpinButtonsAndArrowKeysStepWithinTheirRange)
{
    struct Case
    {
        const char *field;
        const char *upDown;
        QString maximum;
    };
    for (const Case &c : {Case{"PredosageVolumeEdit", "PredosageUpDown", "9999"},
                          Case{"MaximalVolumeEdit", "MaximalVolumeUpDown", "999"},
                          Case{"ConditioningTimeEdit", "ConditioningTimeUpDown", "99"},
                          Case{"ConditioningTimeAfterNSamplesEdit", "AfterNSamplesUpDown", "9"}}) {
        QLineEdit *edit = field(c.field);
        const QList<QAbstractButton *> arrows = control<QWidget>(c.upDown)->findChildren<QAbstractButton *>();
        ASSERT_EQ(arrows.size(), 2) << c.upDown;
        edit->setText(c.maximum);
        arrows[0]->click();
        EXPECT_EQ(edit->text(), c.maximum) << c.field;
        press(edit, Qt::Key_Down);
        EXPECT_EQ(edit->text(), QString::number(c.maximum.toInt() - 1)) << c.field;
        edit->setText("0");
        arrows[1]->click();
        press(edit, Qt::Key_Down);
        EXPECT_EQ(edit->text(), "0") << c.field;
    }
    QLineEdit *edit = field("FlushingTimeEdit");
    edit->setText("0050");
    press(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "51");
    EXPECT_EQ(edit->maxLength(), 4);
}

TEST_F(MethodSetupFormTest, UploadsRepeatTheirDigitsAndLeaveTheLastPageOrTheChosenOne)
{
    field("DosageRinseEdit")->setText("30");
    list("TitrationNatureListBox")->setCurrentRow(2);
    runWith("TitratorUploadButton");
    const Codes first = codes();
    EXPECT_EQ(first[10].digits, (std::array<std::int32_t, 4>{0, 0, 3, 0}));
    EXPECT_EQ(first[0].digits, (std::array<std::int32_t, 4>{0, 0, 0, 3}));

    form().ResetTitratorUploadButtonState();
    runWith("TitratorUploadButton");
    EXPECT_EQ(codes(), first);
    form().show();
    EXPECT_EQ(visiblePage(), "DosageDosePanel");

    auto *tree = control<QTreeWidget>("MainMenuTreeView");
    tree->setCurrentItem(tree->topLevelItem(3));
    EXPECT_EQ(visiblePage(), "BuerettePanel");
    EXPECT_EQ(header(), QString::fromUtf8("4. Bürette-/Max. Volume"));
    runWith("TitratorUploadButton");
    form().show();
    EXPECT_EQ(visiblePage(), "BuerettePanel");
}

TEST_F(MethodSetupFormTest, EveryControlOfEveryPageComesBackFromTheMethodFile)
{
    memory()->setCurrentIndex(4);
    // The last item of each list, a number as wide as each field; time control 4 keeps the balance.
    for (int group = 1; group <= 12; ++group) {
        for (const SectionInfo &section : PageInfo::of(group).sections) {
            const SettingInfo &info = SettingInfo::of(section.setting);
            const int last = section.setting == Setting::TimeControl ? 4 : info.size - 1;
            if (section.kind == ControlKind::List)
                list(section.name)->setCurrentRow(last);
            else if (section.kind == ControlKind::DropDown)
                control<QComboBox>(section.name)->setCurrentIndex(last);
            else
                field(section.name)->setText(QString("8765").right(info.size));
        }
    }
    field("MethodNameEdit")->setText(QString::fromUtf8("Säure; Test"));
    const MethodSettings saved = form().settings();
    form().IniFileSave();

    TMethodSetupForm fresh(m_folder, m_boxes);
    EXPECT_EQ(fresh.selectedSlot(), 4);
    fresh.show();
    EXPECT_EQ(fresh.findChild<QComboBox *>("TitratorControlComboBoxEx")->currentText(), saved.name());
    expectSameMethod(fresh.settings(), saved);
    EXPECT_TRUE(m_boxes.messages.isEmpty());

    // Every control the user works with, leaving out the parts Qt adds (popups, hidden header).
    for (const QWidget *widget : form().findChildren<QWidget *>()) {
        if (widget->window() != &form() || widget->isHidden())
            continue;
        if (qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget)
            || qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractItemView *>(widget)) {
            EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(MethodSetupFormTest, AMethodFileWrittenOnWindowsFillsTheControls)
{
    setBytes("LastModified.ini", "[Last Modified]\r\nMethod=3\r\n");
    setBytes("3.ini", test_files::kSampleMethod);
    form().show();
    EXPECT_EQ(memory()->currentIndex(), 3);
    EXPECT_EQ(memory()->currentText(), QString::fromUtf8("Säure 1"));
    EXPECT_EQ(memory()->itemText(4), "4. Free");
    EXPECT_EQ(field("MethodNameEdit")->text(), QString::fromUtf8("Säure 1"));
    EXPECT_EQ(list("SpecialModesListBox")->currentItem()->text(), "9   -   two Endpoints");
    EXPECT_EQ(list("TitrationNatureListBox")->currentItem()->text(), "6   -   Dosage mmol           (Par. 5)");
    EXPECT_EQ(list("TimeControlListBox")->currentRow(), 7);
    EXPECT_TRUE(list("BalanceListBox")->selectedItems().isEmpty());
    EXPECT_EQ(control<QComboBox>("BueretteComboBox")->currentText(), "2   -   5   mL     (DV405)");
    EXPECT_EQ(control<QComboBox>("PlottingDeviceComboBox")->currentText(), "4   -   Printer GA44 at CL");
    EXPECT_EQ(field("PredosageVolumeEdit")->text(), "205");
    EXPECT_EQ(field("FlushingTimeEdit")->text(), "50");
    EXPECT_EQ(field("DosageDoseEdit")->text(), "9999");

    runWith("TitratorUploadButton");
    EXPECT_EQ(form().SystemModeCode().digits, (std::array<std::int32_t, 4>{2, 2, 2, 4}));
    EXPECT_EQ(form().ConditioningTimeModeCode().digits, (std::array<std::int32_t, 4>{1, 2, 3, 1}));
}

TEST_F(MethodSetupFormTest, TheInfoButtonShowsTheInfoWindowModally)
{
    TInfoForm info;
    form().setInfoForm(&info);
    form().show();
    QString caption;
    whenModalLoopRuns([&caption] {
        QWidget *modal = QApplication::activeModalWidget();
        caption = modal->windowTitle();
        modal->findChild<QAbstractButton *>("CloseButton")->click();
    });
    click("InfoButton");
    EXPECT_EQ(caption, "Info");
    EXPECT_FALSE(info.isVisible());
    EXPECT_TRUE(form().isVisible());
}

} // namespace
