#include "app/program.h"

#include "common/dialogs.h"
#include "help/help_window.h"

Program::Program(const Platform &platform)
    : m_ticks(platform.ticks), Form1(platform.dialogs, platform.serial),
      OKRightDlg10(QStringLiteral("OKRightDlg10"),
                   QStringLiteral("Starting a new file? All unsaved data will be lost!"), false),
      OKRightDlg11(QStringLiteral("OKRightDlg11"), QStringLiteral("File exists. Overwrite?"), true),
      MethodSetupForm(MethodFolder(QStringLiteral("Config")), platform.dialogs), UploadProgressForm(&Form1),
      m_pause(*m_ticks, platform.events), m_commandHost(Form1), m_commandPort(*Form1.SerialPort1),
      m_commands(m_commandPort, m_pause, m_commandHost, m_commandDialogs), m_methodRequests(MethodSetupForm),
      m_transfer(m_commands.player(), m_commandHost, m_methodRequests, UploadProgressForm)
{
    MethodSetupForm.setInfoForm(&InfoMethodModeDialog);
    MethodSetupForm.OnFolderWarning = [this](const QString &warning) { Form1.setStatusText(warning); };
    MethodSetupForm.reportFolderWarning();
    Form1.setCollaborators({SerialBasicDLG, OKRightDlg10, OKRightDlg11, m_commands, m_transfer,
                            [this] { return MethodSetupForm.hasUnsavedEdits(); }});
    // F1 in each window opens the manual's page about it.
    const std::pair<QWidget *, const char *> helpPages[] = {
        {&SerialBasicDLG, "serial-settings"},
        {&OKRightDlg10, "commands#file"},
        {&OKRightDlg11, "commands#file"},
        {&MethodSetupForm, "method-setup"},
        {&UploadProgressForm, "method-setup#upload"},
        {&InfoMethodModeDialog, "method-setup"},
    };
    for (const auto &[window, page] : helpPages)
        HelpWindow::addHelpKey(window, QString::fromLatin1(page));
    const QList<QWidget *> commandWindows = m_commandDialogs.windows();
    for (qsizetype i = 0; i < commandWindows.size(); ++i)
        HelpWindow::addHelpKey(commandWindows[i],
                               i == 0 ? QStringLiteral("titration") : QStringLiteral("commands#titrator-setup"));
    // Quit also ends a running sequence, so the program does not linger through the rest of an upload.
    QObject::connect(&Form1, &TForm1::closed, [this] { m_commands.player().stop(); });
}
