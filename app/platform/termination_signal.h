#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

/// Ends the application's event loops when the process is asked to terminate (SIGTERM, as at a
/// logout), so that the program is taken down as when its main window closes: its simulator
/// and the simulator's folder go with it. One at a time; the signal's former handling returns
/// with its end.
class TerminationSignal : public QObject
{
  public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

  private:
    static void handle(int signal);
    void terminate();

    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_before = {};
};
