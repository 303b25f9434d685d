#pragma once

#include "lineframer.h"
#include "nmeasource.h"

#include <QAbstractSocket>

class N2kLineReader;
class QTcpSocket;
class QTimer;

// NMEA from a TCP server (a multiplexer or navigation computer, commonly on
// port 10110).
class NmeaSourceTcp : public NmeaSource
{
    Q_OBJECT

public:
    // With a gateway reader the link carries a gateway's NMEA 2000 frames as
    // text lines, under the reader's source index, instead of NMEA 0183.
    NmeaSourceTcp(NmeaReceiver *parent, const QString &address, int port, N2kLineReader *gateway = nullptr);
    ~NmeaSourceTcp() override;

    void stopReceiving() override;
    bool writeMessage(const QString &message) override;

    bool isConnected() const;
    // The host to dial for an address as the settings store it: the settings
    // screen writes three digits a group ("192.168.001.010"), which Qt would
    // read as octal (".010" as 8, ".009" as nothing), so each group of a
    // dotted address is read as a decimal number. Host names pass unchanged.
    // Empty for text of digits, dots and blanks that is no IPv4 address (a
    // group left empty in the screen's mask): Qt would look it up as a name.
    static QString hostFor(const QString &address);

    // A link silent this long is taken for a half-open connection (a Wi-Fi
    // drop leaves one without any error) and opened again. Longer than the
    // 60 s a pressure stays current, so that a multiplexer forwarding a slow
    // barometer keeps its link and its pressure.
    static constexpr int InactivityMs = 90000;
    // The bound on one connection attempt, host name lookup included.
    static constexpr int WaitMs = 5000;

public slots:
    void slot_startReceiving() override;
    void slot_tcpError(QAbstractSocket::SocketError error);
    void slot_readData();
    void slot_tcpSocketDisconnected();
    void slot_timeOut();
    void slot_connected();

private:
    void detachSocket();
    void attemptFailed(const QString &error);
    void loseLink(int delayMs);

    int port;
    QString address;
    LineFramer lineBuffer;
    SentenceSink *lines; // where lineBuffer hands its lines
    QTimer *timer = nullptr;
    // Runs while a connection attempt is pending, which never blocks the
    // worker: the barometer, the UDP input and the relay go on meanwhile.
    QTimer *attemptTimer = nullptr;
    QTcpSocket *socket = nullptr;
};
