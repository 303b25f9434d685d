#pragma once

#include "barometer.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QWebSocket;
class QWebSocketServer;

// The simulated boat as a minimal Signal K server: a WebSocket stream at
// /signalk/v1/stream that greets each client with the server's hello, takes
// its subscription, and sends the boat's pressure, position, course and speed
// as deltas in Signal K's units (Pa, degrees, rad, m/s).
class SignalKServer : public QObject
{
    Q_OBJECT

public:
    explicit SignalKServer(QObject *parent = nullptr);

    bool listen(const QHostAddress &address, int port);
    QString errorString() const;
    quint16 port() const;

    // One delta to every client, with the paths it asked for.
    void send(double pressureHpa, const Barometer::Track &track, bool position, qint64 msSinceEpoch);
    bool hasClients() const;
    // A client's queue is long: a full-speed run waits for it.
    bool busy() const;
    void closeAll();

    static const QString Self;

private slots:
    void slot_newConnection();

private:
    struct Client
    {
        QWebSocket *socket = nullptr;
        QSet<QString> paths; // what it subscribed to
        bool everything = false; // connected without subscribe=none
    };
    void subscribe(Client &client, const QString &message);

    QWebSocketServer *m_server;
    QList<Client> m_clients;
};
