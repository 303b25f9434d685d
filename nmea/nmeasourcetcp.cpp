#include "nmeasourcetcp.h"

#include "clock.h"
#include "n2klinereader.h"
#include "nmeareceiver.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QtDebug>

NmeaSourceTcp::NmeaSourceTcp(NmeaReceiver *parent, const QString &address, int port, N2kLineReader *gateway)
    : NmeaSource(parent, gateway ? gateway->decoder().sourceId() : 2)
    , port(port)
    , address(address)
    , lineBuffer(gateway ? LineFramer::Gateway : LineFramer::Network, sourceId)
    , lines(gateway ? static_cast<SentenceSink *>(gateway) : parent)
    , timer(new QTimer(this))
    , attemptTimer(new QTimer(this))
{
    timer->setSingleShot(true);
    timer->setInterval(Clock::interval(InactivityMs));
    connect(timer, &QTimer::timeout, this, &NmeaSourceTcp::slot_timeOut);
    attemptTimer->setSingleShot(true);
    attemptTimer->setInterval(Clock::interval(WaitMs));
    // The text the socket itself gives a wait that ran out.
    connect(attemptTimer, &QTimer::timeout, this,
            [this] { attemptFailed(QStringLiteral("Socket operation timed out")); });
}

NmeaSourceTcp::~NmeaSourceTcp() = default;

bool NmeaSourceTcp::isConnected() const
{
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

QString NmeaSourceTcp::hostFor(const QString &address)
{
    static const QRegularExpression numeric(QStringLiteral("^[0-9.\\s]*$"));
    static const QRegularExpression dotted(
        QStringLiteral("^\\s*([0-9]{1,3})\\s*\\.\\s*([0-9]{1,3})\\s*\\.\\s*([0-9]{1,3})\\s*\\.\\s*([0-9]{1,3})\\s*$"));
    if (!numeric.match(address).hasMatch())
        return address.trimmed();
    const QRegularExpressionMatch match = dotted.match(address);
    QStringList groups;
    for (int i = 1; i <= 4 && match.hasMatch(); ++i) {
        const int group = match.captured(i).toInt(nullptr, 10);
        if (group > 255)
            return QString();
        groups << QString::number(group);
    }
    return groups.join(QLatin1Char('.'));
}

void NmeaSourceTcp::detachSocket()
{
    disconnect(socket, nullptr, this, nullptr);
}

void NmeaSourceTcp::stopReceiving()
{
    timer->stop();
    attemptTimer->stop();
    if (socket) {
        detachSocket();
        // Also ends a pending attempt or lookup, without waiting for the peer.
        socket->disconnectFromHost();
        socket->deleteLater();
        socket = nullptr;
    }
    lineBuffer.clear();
    withdrawPressure();
}

bool NmeaSourceTcp::writeMessage(const QString &message)
{
    return writeToDevice(socket, message);
}

void NmeaSourceTcp::slot_startReceiving()
{
    stopReceiving();
    const QString host = hostFor(address);
    if (host.isEmpty()) {
        // Settings that no retry can mend: the next start of the worker reads them again.
        qWarning() << "invalid TCP address" << address;
        return;
    }
    socket = new QTcpSocket(this);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    qWarning() << "trying to connect to tcp";
    connect(socket, &QTcpSocket::connected, this, &NmeaSourceTcp::slot_connected);
    connect(socket, &QTcpSocket::disconnected, this, &NmeaSourceTcp::slot_tcpSocketDisconnected);
    connect(socket, &QTcpSocket::errorOccurred, this, &NmeaSourceTcp::slot_tcpError);
    connect(socket, &QTcpSocket::readyRead, this, &NmeaSourceTcp::slot_readData);
    attemptTimer->start();
    // May fail at once (a refused loopback connection), and so drop the socket.
    socket->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void NmeaSourceTcp::slot_connected()
{
    attemptTimer->stop();
    qWarning() << "tcp source activated";
    reconnecting = false;
    timer->start();
}

void NmeaSourceTcp::attemptFailed(const QString &error)
{
    attemptTimer->stop();
    detachSocket();
    socket->abort();
    socket->deleteLater();
    socket = nullptr;
    qWarning() << error;
    if (reconnecting) {
        qWarning() << "trying to reconnect to Tcp";
    } else {
        withdrawPressure();
        qWarning() << "failed to connect to TCP host" << address << port;
    }
    // The computer often starts before the instruments' multiplexer or its
    // Wi-Fi: a first attempt is tried again too, as after a lost link.
    scheduleReconnect(ReconnectMs);
}

void NmeaSourceTcp::slot_readData()
{
    timer->stop();
    if (!socket)
        return;
    lineBuffer.feed(socket->readAll(), lines);
    timer->start();
}

void NmeaSourceTcp::loseLink(int delayMs)
{
    socket->deleteLater();
    socket = nullptr;
    lineBuffer.clear();
    reconnecting = true;
    withdrawPressure();
    scheduleReconnect(delayMs);
}

void NmeaSourceTcp::slot_tcpError(QAbstractSocket::SocketError)
{
    timer->stop();
    if (!socket)
        return;
    if (attemptTimer->isActive()) {
        attemptFailed(socket->errorString());
        return;
    }
    qWarning() << "tcp socket error" << socket->errorString();
    detachSocket();
    socket->disconnectFromHost();
    loseLink(ReconnectMs);
}

void NmeaSourceTcp::slot_tcpSocketDisconnected()
{
    timer->stop();
    if (!socket)
        return;
    qWarning() << "tcp socket disconnected" << socket->errorString();
    detachSocket();
    loseLink(ReconnectMs);
}

void NmeaSourceTcp::slot_timeOut()
{
    if (!socket)
        return;
    qWarning() << "tcp source silent, reconnecting";
    detachSocket();
    socket->abort();
    loseLink(10);
}
