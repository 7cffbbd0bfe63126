#pragma once

#include <QByteArray>
#include <QString>

struct RunEntry;

/// Where an instrument command reports to the user.
class CommandHost
{
  public:
    virtual ~CommandHost() = default;

    /// Replaces the status bar text.
    virtual void setStatus(const QString &text) = 0;

    /// Adds the text to the terminal as a line of its own.
    virtual void addTerminalLine(const QString &text) = 0;

    /// The terminal's text; what the titrator prints arrives at its end.
    virtual QByteArray terminalText() const = 0;

    /// Shows a message box and returns when the user has closed it.
    virtual void showMessage(const QString &text) = 0;

    /// A titration is about to be started with what the run dialog gave.
    virtual void runStarted(const RunEntry &) {}
    /// The run last started did not start on the titrator.
    virtual void runFailed() {}
};
