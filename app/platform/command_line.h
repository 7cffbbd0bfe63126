#pragma once

#include <QString>
#include <QStringList>

/// What the user asked for when starting the program. Parsed before the application object
/// exists, so that --help and --version work without a display; the generic Qt options
/// (-platform, -style, ...) pass through to the application object.
class CommandLine
{
  public:
    /// Exit status of a start that ends at a bad command line.
    static constexpr int usageError = 2;

    /// Reads the arguments, the program's name first.
    explicit CommandLine(const QStringList &arguments);

    /// True when this start ends here: after --help, --version or a bad command line.
    bool finished() const { return m_finished; }
    /// The exit status of a finished start, 0 or usageError.
    int exitStatus() const { return m_exitStatus; }
    /// What a finished start prints: help or version to standard output, errors to standard error.
    const QString &message() const { return m_message; }

    bool simulate() const { return m_simulate; }
    /// The device COM1 names for this start, an absolute path; empty when not given.
    const QString &port() const { return m_port; }
    /// Start in the user's data folder, so that method files land there (the desktop menu's start).
    bool inDataFolder() const { return m_inDataFolder; }

    static QString version();

  private:
    void parse(const QStringList &arguments);
    void fail(const QString &error, const QString &helpText);

    bool m_finished = false;
    int m_exitStatus = 0;
    QString m_message;
    bool m_simulate = false;
    QString m_port;
    bool m_inDataFolder = false;
};
