#include "commands/command_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QList>

CommandDialogs::CommandDialogs()
{
    OKRightDlg3.addText("Sample Weight in g:");
    m_weight = OKRightDlg3.addEdit("Sample weight", "Sample Weight in g:");
    OKRightDlg3.addText("Sample indentification:");
    m_identification =
        OKRightDlg3.addChoice("Sample indentification:", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "1");

    OKRightDlg5.addText("Please enter volume in ml:");
    m_volume = OKRightDlg5.addEdit("Buret volume", "Please enter volume in ml:");
    OKRightDlg5.addText("(Leave empty to fill completely)", true);

    OKRightDlg6.addText("Enter titer concentration (format 0.99):");
    m_titer = OKRightDlg6.addEdit("Titer concentration", "Enter titer concentration (format 0.99):", "mol/l");

    OKRightDlg7.addText("Enter Reagent constant (format 0.25)");
    m_reagent = OKRightDlg7.addEdit("Reagent constant", "Enter Reagent constant (format 0.25)");

    OKRightDlg8.addText("Please immerse elektrode in");
    OKRightDlg8.addText("buffer pH 4 and press OK");

    OKRightDlg9.addText("Please immerse elektrode in");
    OKRightDlg9.addText("buffer pH 7 and press OK");
}

std::optional<RunEntry> CommandDialogs::askRun()
{
    if (OKRightDlg3.exec() != QDialog::Accepted)
        return std::nullopt;
    // While only the placeholder shows, no identification was chosen and none is sent.
    const QString identification = m_identification->currentIndex() < 0 ? QString() : m_identification->currentText();
    return RunEntry{m_weight->text(), identification};
}

std::optional<QString> CommandDialogs::askBuretVolume()
{
    return askText(OKRightDlg5, m_volume);
}

std::optional<QString> CommandDialogs::askTiterConcentration()
{
    return askText(OKRightDlg6, m_titer);
}

std::optional<QString> CommandDialogs::askReagentConstant()
{
    return askText(OKRightDlg7, m_reagent);
}

bool CommandDialogs::confirmBufferPh4()
{
    return OKRightDlg8.exec() == QDialog::Accepted;
}

bool CommandDialogs::confirmBufferPh7()
{
    return OKRightDlg9.exec() == QDialog::Accepted;
}

std::optional<QString> CommandDialogs::askText(InputDialog &dialog, const QLineEdit *edit)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

QList<QWidget *> CommandDialogs::windows()
{
    return {&OKRightDlg3, &OKRightDlg5, &OKRightDlg6, &OKRightDlg7, &OKRightDlg8, &OKRightDlg9};
}
