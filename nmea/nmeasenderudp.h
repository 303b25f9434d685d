#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QPointF>
#include <QSet>
#include <QStringList>
#include <functional>

class QUdpSocket;

// Relays the barograph's pressure ($GPXDR, then the same pressure as $GPMDA)
// and position ($ECRMC) as NMEA 0183 over UDP broadcast, to every broadcast
// address of the machine. MDA goes beside XDR because Signal K servers read
// pressure from MDA only, and OpenCPN's dashboard reads either.
class NmeaSenderUdp : public QObject
{
    Q_OBJECT

public:
    NmeaSenderUdp();
    ~NmeaSenderUdp() override;

    bool sendPressure(double pressure, int port);
    bool sendPosition(const QPointF &position, double sog, double cog, int port);
    static QString buildRmc(const QPointF &position, double sog, double cog);
    static QString buildXdr(double pressure); // hPa in, bar written
    static QString buildMda(double pressure); // hPa in, inches of mercury and bar written

    // The broadcast addresses of the interfaces that qualify: up, running,
    // valid, able to broadcast, not loopback.
    static QSet<QHostAddress> broadcastAddressesOf(const QList<QNetworkInterface> &interfaces);

    // Where the datagrams go. By default the broadcast addresses of the
    // machine's interfaces; tests and demonstrations replace it (with
    // loopback) so that nothing leaves the machine. An empty function
    // restores the default.
    using DestinationProvider = std::function<QSet<QHostAddress>()>;
    static void setDestinationProvider(DestinationProvider provider);

    QSet<QHostAddress> destinations() const { return broadcastAddresses; }

    // A datagram that one of this program's senders sent: its own relay
    // coming back to its UDP input on the same port, which must not keep a
    // dead barometer's last value fresh.
    static bool isOwnDatagram(const QHostAddress &sender, quint16 senderPort);
    bool hasSocket() const { return socket != nullptr; }

public slots:
    void slot_restart();

private:
    bool send(const QStringList &sentences, int port, const char *errorText);

    void dropSocket();

    QUdpSocket *socket = nullptr;
    QSet<QHostAddress> broadcastAddresses;
    // The local port the socket was given at its first send, known to
    // isOwnDatagram.
    quint16 ownPort = 0;
};
