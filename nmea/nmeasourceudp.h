#pragma once

#include "lineframer.h"
#include "nmeasource.h"

#include <QAbstractSocket>

class N2kLineReader;
class QUdpSocket;

// NMEA from UDP datagrams on a local port, broadcast on the boat's network
// or sent to a multicast group.
class NmeaSourceUdp : public NmeaSource
{
    Q_OBJECT

public:
    // With a gateway reader the link carries a gateway's NMEA 2000 frames as
    // text lines, under the reader's source index, instead of NMEA 0183.
    NmeaSourceUdp(NmeaReceiver *parent, const QString &address, int port, N2kLineReader *gateway = nullptr);
    ~NmeaSourceUdp() override;

    void stopReceiving() override;

    bool isBound() const { return socket != nullptr; }

    // Datagrams taken at most for one notification of the socket.
    static constexpr int MaxDatagramsPerRead = 100;

public slots:
    void slot_startReceiving() override;
    void slot_udpError(QAbstractSocket::SocketError error);
    void slot_readPendingDatagrams();
    void slot_udpSocketDisconnected();

private:
    void detachSocket();
    void loseLink();

    int port;
    QString address;
    LineFramer lineBuffer;
    SentenceSink *lines; // where lineBuffer hands its lines
    QUdpSocket *socket = nullptr;
};
