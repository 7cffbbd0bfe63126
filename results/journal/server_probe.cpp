#include "results/journal/server_probe.h"

ServerProbe::ServerProbe()
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(TimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] { finish(false); });
    connect(&m_socket, &QTcpSocket::connected, this, [this] { finish(true); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] { finish(false); });
}

void ServerProbe::start(const QString &host, int port)
{
    if (running())
        return;
    m_timeout.start();
    m_socket.connectToHost(host, quint16(port));
}

void ServerProbe::finish(bool reachable)
{
    if (!running())
        return;
    m_timeout.stop();
    m_socket.abort();
    emit answered(reachable);
}
