#include "nmeasourceudp.h"

#include "clock.h"
#include "n2klinereader.h"
#include "nmeareceiver.h"
#include "nmeasenderudp.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtDebug>

NmeaSourceUdp::NmeaSourceUdp(NmeaReceiver *parent, const QString &address, int port, N2kLineReader *gateway)
    : NmeaSource(parent, gateway ? gateway->decoder().sourceId() : 3)
    , port(port)
    , address(address)
    , lineBuffer(gateway ? LineFramer::Gateway : LineFramer::Network, sourceId)
    , lines(gateway ? static_cast<SentenceSink *>(gateway) : parent)
{
}

NmeaSourceUdp::~NmeaSourceUdp() = default;

void NmeaSourceUdp::detachSocket()
{
    disconnect(socket, &QUdpSocket::readyRead, this, &NmeaSourceUdp::slot_readPendingDatagrams);
    disconnect(socket, &QUdpSocket::errorOccurred, this, &NmeaSourceUdp::slot_udpError);
    disconnect(socket, &QUdpSocket::disconnected, this, &NmeaSourceUdp::slot_udpSocketDisconnected);
}

void NmeaSourceUdp::stopReceiving()
{
    if (socket) {
        detachSocket();
        socket->disconnectFromHost();
        socket->deleteLater();
        socket = nullptr;
    }
    withdrawPressure();
}

void NmeaSourceUdp::slot_startReceiving()
{
    stopReceiving();
    socket = new QUdpSocket(this);
    const bool anyProtocol = address.toLower() == QLatin1String("any");
    const bool allIpv4 = address == QLatin1String("0.0.0.0");
    const QHostAddress bindAddress = anyProtocol ? QHostAddress(QHostAddress::Any) : QHostAddress(QHostAddress::AnyIPv4);
    const QAbstractSocket::BindMode mode = allIpv4
        ? QAbstractSocket::BindMode(QAbstractSocket::ShareAddress)
        : QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    if (!socket->bind(bindAddress, quint16(port), mode)) {
        if (reconnecting) {
            qWarning() << "trying to reconnect to udp";
            scheduleReconnect(ReconnectMs);
            return;
        }
        delete socket;
        socket = nullptr;
        withdrawPressure();
        return;
    }
    if (!allIpv4 && !anyProtocol) {
        if (socket->joinMulticastGroup(QHostAddress(address)))
            qWarning() << "joined to multicast group ok!";
        else
            qWarning() << "unable to join multicast group" << address;
    }
    connect(socket, &QUdpSocket::disconnected, this, &NmeaSourceUdp::slot_udpSocketDisconnected, Qt::UniqueConnection);
    connect(socket, &QUdpSocket::errorOccurred, this, &NmeaSourceUdp::slot_udpError, Qt::UniqueConnection);
    connect(socket, &QUdpSocket::readyRead, this, &NmeaSourceUdp::slot_readPendingDatagrams, Qt::UniqueConnection);
    reconnecting = false;
    slot_readPendingDatagrams();
    qWarning() << "udp source activated" << address << port;
}

void NmeaSourceUdp::slot_readPendingDatagrams()
{
    if (!socket)
        return;
    QByteArray chunk;
    bool own = false;
    // Bounded in datagrams as well as bytes, so that a flood (of empty
    // datagrams too) still leaves the worker's other work its turn; what stays
    // pending waits in the socket for the next notification.
    for (int read = 0; read < MaxDatagramsPerRead && socket->hasPendingDatagrams()
         && lineBuffer.pendingSize() + chunk.size() <= LineFramer::MaxPending;
         ++read) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        // A read that fails reports its error at once, which drops the socket.
        if (!socket)
            return;
        // The relay on the input's port: this program's own pressure.
        if (NmeaSenderUdp::isOwnDatagram(datagram.senderAddress(), quint16(datagram.senderPort()))) {
            own = true;
            continue;
        }
        chunk.append(datagram.data());
    }
    if (chunk.isEmpty() && lineBuffer.pendingSize() == 0) {
        if (own)
            return;
        qWarning() << "empty datagram data received";
        return;
    }
    lineBuffer.feed(chunk, lines);
}

void NmeaSourceUdp::loseLink()
{
    socket->deleteLater();
    socket = nullptr;
    reconnecting = true;
    withdrawPressure();
    scheduleReconnect(ReconnectMs);
}

void NmeaSourceUdp::slot_udpError(QAbstractSocket::SocketError)
{
    if (!socket)
        return;
    qWarning() << "udp socket error" << socket->errorString();
    detachSocket();
    socket->disconnectFromHost();
    loseLink();
}

void NmeaSourceUdp::slot_udpSocketDisconnected()
{
    if (!socket)
        return;
    qWarning() << "Udp socket disconnected" << socket->errorString();
    detachSocket();
    loseLink();
}
