#pragma once

#include "app/form1.h"
#include "app/form_command_host.h"
#include "app/platform/platform.h"
#include "commands/command_dialogs.h"
#include "commands/confirm_dialog.h"
#include "commands/instrument_commands.h"
#include "commands/method_setup_requests.h"
#include "commands/method_transfer.h"
#include "commands/pause.h"
#include "commands/serial_key_port.h"
#include "commands/upload_progress_form.h"
#include "method/ui/info_form.h"
#include "method/ui/method_setup_form.h"
#include "serial/ui/serial_basic_dlg.h"

#include <memory>

/// The whole program: every window, created once in the start-up order, with the command set
/// that drives the titrator. All of it lives as long as this object, so a handler still inside a
/// nested wait when the main window closes finds everything in place.
class Program
{
  public:
    explicit Program(const Platform &platform);
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    TForm1 &mainWindow() { return Form1; }

  private:
    std::shared_ptr<TickSource> m_ticks;

    // The windows, in the order of their creation.
    TForm1 Form1;
    TSerialBasicDLG SerialBasicDLG;
    CommandDialogs m_commandDialogs; // OKRightDlg3, OKRightDlg5 to OKRightDlg9
    ConfirmDialog OKRightDlg10;
    ConfirmDialog OKRightDlg11;
    TMethodSetupForm MethodSetupForm;
    TUploadProgressForm UploadProgressForm;
    TInfoForm InfoMethodModeDialog;

    Pause m_pause;
    FormCommandHost m_commandHost;
    SerialKeyPort m_commandPort;
    InstrumentCommands m_commands;
    MethodSetupRequests m_methodRequests;
    MethodTransfer m_transfer;
};
