#pragma once

#include <QObject>

/// Ends the application's event loops when the process is asked to terminate (SIGTERM, as at a
/// logout), so that the program is taken down as when its main window closes: its simulator
/// and the simulator's folder go with it. One at a time; the signal's former handling returns
/// with its end. On Windows a logout reaches the program as its session's end, through Qt, so
/// there this does nothing.
class TerminationSignal : public QObject
{
  public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

  private:
    void terminate();

    QObject *m_notifier = nullptr;
};
