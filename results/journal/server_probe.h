#pragma once

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

/// Finds out, without blocking the window thread, whether a server takes TCP connections: a
/// connect that the event loop completes. A database client's own connect would wait for its
/// timeout on a server that is off; this one lets the window go on meanwhile.
class ServerProbe : public QObject
{
    Q_OBJECT

  public:
    static constexpr int TimeoutMs = 5000;

    ServerProbe();

    /// Starts a check unless one runs; answered() follows.
    void start(const QString &host, int port);
    bool running() const { return m_timeout.isActive(); }

  signals:
    void answered(bool reachable);

  private:
    void finish(bool reachable);

    QTcpSocket m_socket;
    QTimer m_timeout;
};
