#pragma once

#include "commands/command_host.h"

class TForm1;

/// The main window's status bar, terminal and message box as the instrument commands see them.
class FormCommandHost : public CommandHost
{
  public:
    explicit FormCommandHost(TForm1 &form);

    void setStatus(const QString &text) override;
    void addTerminalLine(const QString &text) override;
    QByteArray terminalText() const override;
    void showMessage(const QString &text) override;
    void runStarted(const RunEntry &entry) override;
    void runFailed() override;

  private:
    TForm1 &m_form;
};
