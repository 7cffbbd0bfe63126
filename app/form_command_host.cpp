#include "app/form_command_host.h"

#include "app/form1.h"
#include "common/dialogs.h"

FormCommandHost::FormCommandHost(TForm1 &form) : m_form(form) {}

void FormCommandHost::setStatus(const QString &text)
{
    m_form.setStatusText(text);
}

void FormCommandHost::addTerminalLine(const QString &text)
{
    m_form.addTerminalLine(text);
}

void FormCommandHost::showMessage(const QString &text)
{
    m_form.dialogs().message(&m_form, text);
}

void FormCommandHost::runStarted(const RunEntry &entry)
{
    m_form.runStarted(entry);
}
