#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

/// The instrument simulator as a child process, for running without a titrator: it
/// publishes its port in a private folder, and it ends with this object or, should the
/// program die first, with the program.
class SimulatorProcess
{
  public:
    explicit SimulatorProcess(QStringList extraArguments = {});
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    /// The simulator next to this program, or in the build tree beside it.
    static QString findProgram();

    /// Makes the port's folder, starts the program and waits until its port can be opened; false
    /// with a reason otherwise.
    bool start(const QString &program, QString *error);
    /// Starts the simulator found by findProgram, at the speed factor in KORVANE_SIM_SPEED if
    /// set, and makes it the port COM1 names.
    bool startAsCom1(QString *error);
    /// Where the simulator's port is published, for KORVANE_COM1; empty before start().
    QString portPath() const;
    /// Removes the port folders that runs killed before they could clean up left in the
    /// temporary folder: only this user's, only of processes that are gone, only when they hold
    /// nothing but the port's link.
    static void removeStaleFolders();
    qint64 processId() const { return m_process.processId(); }

  private:
    QStringList m_extraArguments;
    // Named after this process, so that a later run knows when it is stale; made only to start.
    std::optional<QTemporaryDir> m_folder;
    QProcess m_process;
};
