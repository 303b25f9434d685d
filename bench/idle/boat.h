#pragma once

// The boat for the program to watch: an MDA pressure slowly falling and an
// RMC position, once a second, to every client of a TCP server on loopback.

#include <QList>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

class Boat : public QObject
{
public:
    bool listen()
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            return false;
        connect(&m_server, &QTcpServer::newConnection, this, &Boat::takeClients);
        connect(&m_timer, &QTimer::timeout, this, &Boat::send);
        m_timer.start(1000);
        return true;
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    void takeClients();
    void send();

    QTcpServer m_server;
    QList<QTcpSocket *> m_clients;
    QTimer m_timer;
    int m_round = 0;
};
