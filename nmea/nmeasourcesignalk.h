#pragma once

#include "nmeasource.h"
#include "signalkreader.h"

#include <QAbstractSocket>
#include <QTimer>
#include <QUrl>

class QWebSocket;

// A Signal K server (the boat's data hub, often on a small computer beside
// the instruments) over its WebSocket stream: subscribed to this boat's
// pressure, position, course and speed. Nothing here blocks the worker: the
// host name is looked up and the connection made in the background, with a
// time-out; a lost, refused or silent link is dialled again every 10 s.
class NmeaSourceSignalK : public NmeaSource
{
    Q_OBJECT

public:
    // host: a name or an address (a dotted one read group by group as
    // decimal, as the TCP source does); token: an access token the server
    // asks for, or empty.
    NmeaSourceSignalK(NmeaReceiver *parent, const QString &host, int port, const QString &token);
    ~NmeaSourceSignalK() override;

    void stopReceiving() override;
    bool isConnected() const;
    // The stream's address; invalid when the host cannot be one.
    static QUrl streamUrl(const QString &host, int port);

    static constexpr int ConnectMs = 5000;
    // A server sends nothing while nothing changes on board: after this long
    // without a message it is pinged, and a link that stays silent as long
    // again is taken for a half-open one (a Wi-Fi drop gives no error).
    static constexpr int QuietMs = 30000;

public slots:
    void slot_startReceiving() override;

private slots:
    void slot_connected();
    void slot_message(const QString &message);
    void slot_lost();

private:
    void loseLink(const QString &why);

    QUrl url;
    QByteArray token;
    SignalKReader reader;
    QWebSocket *socket = nullptr;
    // Bounds the lookup, the connection and the handshake; then the silence.
    QTimer watchdog;
    bool pinged = false;
    bool linked = false;
};
