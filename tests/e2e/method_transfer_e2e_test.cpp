#include "commands/method_setup_requests.h"
#include "commands/upload_progress_form.h"
#include "controls/gauge.h"
#include "method/ui/method_setup_form.h"
#include "tests/e2e/bench_fixture.h"
#include "tests/support/temporary_work_folder.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QSet>

namespace {

/// The program in a folder of its own, so that its method files land there.
class MethodTransferE2E : public BenchFixture
{
  protected:
    static TMethodSetupForm *methodSetupForm()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *dialog = dynamic_cast<TMethodSetupForm *>(window))
                return dialog;
        return nullptr;
    }

    // Made before the program, which reads its method files at start.
    TemporaryWorkFolder m_folder;
};

/// The group lines of the titrator's listing of its current method, "0003" or "002.5".
QStringList listedGroups(const QByteArray &text)
{
    const qsizetype start = text.lastIndexOf("METHOD M12\r\n");
    const QList<QByteArray> lines = text.mid(start).split('\n');
    QStringList groups;
    // Complete lines only: the last one may still be arriving.
    for (const QByteArray &line : lines.mid(1, std::min<qsizetype>(12, lines.size() - 2)))
        groups << QString::fromLatin1(line.trimmed()).section(' ', -1);
    return start < 0 ? QStringList() : groups;
}

QString groupText(int group, const ModeCode &code)
{
    QString text;
    for (std::size_t index = 0; index < code.digits.size(); ++index)
        text += (index == 3 && (group == 3 || group == 5) ? "." : "") + QString::number(code.digits[index]);
    return text;
}

TEST_F(MethodTransferE2E, SaveAndUploadPutsTheDialogsMethodIntoTheTitrator)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->objectName(), "MethodSetupForm");
        dialog->findChild<QComboBox *>("TitratorControlComboBoxEx")->setCurrentIndex(12);
        dialog->findChild<QLineEdit *>("MethodNameEdit")->setText("Acid 12");
        dialog->findChild<QListWidget *>("TitrationNatureListBox")->setCurrentRow(2);
        dialog->findChild<QLineEdit *>("PredosageVolumeEdit")->setText("25");
        dialog->findChild<QLineEdit *>("AgitationTimeEdit")->setText("30");
        dialog->findChild<QLineEdit *>("DosageRinseEdit")->setText("15");
        dialog->findChild<QAbstractButton *>("TitratorSaveButton")->click();
    });
    // What the progress window shows while the transfer runs.
    auto *progress = form->findChild<TUploadProgressForm *>("UploadProgressForm");
    auto *gauge = progress->findChild<TGauge *>("UpdateDataProgressGauge");
    QSet<int> shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (progress->isVisible())
            shown.insert(gauge->Progress());
    });
    watch.start(5);
    form->Mode1Click();
    watch.stop();

    EXPECT_EQ(form->statusText(), "Method No.[12] - Saving completed");
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(shown.contains(1) && shown.contains(6) && shown.contains(12) && shown.contains(13));
    EXPECT_TRUE(QFile::exists("Config/12.ini"));
    ASSERT_TRUE(runUntil([&] { return terminalHas("METHOD SAVED AS M12\r\n"); }, 5000));

    form->BitBtn6Click();
    ASSERT_TRUE(runUntil([&] { return listedGroups(form->terminalText().text()).size() == 12; }, 5000));
    MethodSetupRequests dialog(*methodSetupForm());
    QStringList expected;
    for (int group = 1; group <= 12; ++group)
        expected << groupText(group, dialog.modeCode(group));
    EXPECT_EQ(listedGroups(form->terminalText().text()), expected);
    EXPECT_EQ(expected[2], "002.5");
}

/// The program on real time: the titrator's answer to the last key of a transfer must arrive
/// within the transfer's last wait, as it does at the bench.
class MethodTransferRealTimeE2E : public MethodTransferE2E
{
  protected:
    MethodTransferRealTimeE2E() { ticks = std::make_shared<ScaledTickSource>(1.0); }
};

TEST_F(MethodTransferRealTimeE2E, ALoadOfAnEmptyMemoryShowsTheTitratorsRefusal)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QComboBox *>("TitratorControlComboBoxEx")->setCurrentIndex(5);
        dialog->findChild<QAbstractButton *>("TitratorLoadButton")->click();
    });
    form->Mode1Click();
    EXPECT_EQ(form->statusText(), "Loading method failed: E5 M5 EMPTY");
}

} // namespace
