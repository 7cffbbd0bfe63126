#include "app/form_command_host.h"

#include "app/form1.h"
#include "common/dialogs.h"
#include "terminal/terminal_text.h"

FormCommandHost::FormCommandHost(TForm1 &form) : m_form(form) {}

void FormCommandHost::setStatus(const QString &text)
{
    m_form.setStatusText(text);
}

void FormCommandHost::addTerminalLine(const QString &text)
{
    m_form.addTerminalLine(text);
}

QByteArray FormCommandHost::terminalText() const
{
    return m_form.terminalText().text();
}

void FormCommandHost::showMessage(const QString &text)
{
    m_form.dialogs().message(&m_form, text);
}

void FormCommandHost::runStarted(const RunEntry &entry)
{
    m_form.runStarted(entry);
}

void FormCommandHost::runFailed()
{
    m_form.runFailed();
}
