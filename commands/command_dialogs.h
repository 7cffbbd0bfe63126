#pragma once

#include "commands/command_input.h"
#include "commands/input_dialog.h"

class QComboBox;
class QLineEdit;

/// The input dialogs of the instrument commands, created once and kept for the whole run.
class CommandDialogs : public CommandInput
{
  public:
    CommandDialogs();

    std::optional<RunEntry> askRun() override;
    std::optional<QString> askBuretVolume() override;
    std::optional<QString> askTiterConcentration() override;
    std::optional<QString> askReagentConstant() override;
    bool confirmBufferPh4() override;
    bool confirmBufferPh7() override;

    /// Its windows, the run dialog first, then the titrator set-up dialogs.
    QList<QWidget *> windows();

  private:
    static std::optional<QString> askText(InputDialog &dialog, const QLineEdit *edit);

    // Declared in the order they are created at start-up.
    InputDialog OKRightDlg3{"OKRightDlg3"};
    InputDialog OKRightDlg5{"OKRightDlg5"};
    InputDialog OKRightDlg6{"OKRightDlg6"};
    InputDialog OKRightDlg7{"OKRightDlg7"};
    InputDialog OKRightDlg8{"OKRightDlg8"};
    InputDialog OKRightDlg9{"OKRightDlg9"};
    QLineEdit *m_weight = nullptr;
    QComboBox *m_identification = nullptr;
    QLineEdit *m_volume = nullptr;
    QLineEdit *m_titer = nullptr;
    QLineEdit *m_reagent = nullptr;
};
