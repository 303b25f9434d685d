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
{
    timer->setSingleShot(true);
    timer->setInterval(Clock::interval(InactivityMs));
    connect(timer, &QTimer::timeout, this, &NmeaSourceTcp::slot_timeOut);
}

NmeaSourceTcp::~NmeaSourceTcp() = default;

bool NmeaSourceTcp::isConnected() const
{
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

QString NmeaSourceTcp::hostFor(const QString &address)
{
    const QRegularExpression dotted(
        QStringLiteral("^\\s*([0-9]{1,3})\\s*\\.\\s*([0-9]{1,3})\\s*\\.\\s*([0-9]{1,3})\\s*\\.\\s*([0-9]{1,3})\\s*$"));
    const QRegularExpressionMatch match = dotted.match(address);
    if (!match.hasMatch())
        return address.trimmed();
    QStringList groups;
    for (int i = 1; i <= 4; ++i)
        groups << QString::number(match.captured(i).toInt(nullptr, 10));
    return groups.join(QLatin1Char('.'));
}

void NmeaSourceTcp::detachSocket()
{
    disconnect(socket, &QTcpSocket::readyRead, this, &NmeaSourceTcp::slot_readData);
    disconnect(socket, &QTcpSocket::errorOccurred, this, &NmeaSourceTcp::slot_tcpError);
    disconnect(socket, &QTcpSocket::disconnected, this, &NmeaSourceTcp::slot_tcpSocketDisconnected);
}

void NmeaSourceTcp::stopReceiving()
{
    timer->stop();
    if (socket) {
        detachSocket();
        disconnectAndWait(socket);
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
    socket = new QTcpSocket(this);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    qWarning() << "trying to connect to tcp";
    socket->connectToHost(hostFor(address), quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    if (socket->waitForConnected(Clock::interval(WaitMs))) {
        connect(socket, &QTcpSocket::disconnected, this, &NmeaSourceTcp::slot_tcpSocketDisconnected,
                Qt::UniqueConnection);
        connect(socket, &QTcpSocket::errorOccurred, this, &NmeaSourceTcp::slot_tcpError, Qt::UniqueConnection);
        connect(socket, &QTcpSocket::readyRead, this, &NmeaSourceTcp::slot_readData, Qt::UniqueConnection);
        qWarning() << "tcp source activated";
        reconnecting = false;
        timer->start();
        return;
    }
    qWarning() << socket->errorString();
    if (reconnecting) {
        qWarning() << "trying to reconnect to Tcp";
        scheduleReconnect(ReconnectMs);
        return;
    }
    socket->deleteLater();
    socket = nullptr;
    withdrawPressure();
    qWarning() << "failed to connect to TCP host" << address << port;
    // The computer often starts before the instruments' multiplexer or its
    // Wi-Fi: keep trying, as after a lost link.
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
    qWarning() << "tcp socket error" << socket->errorString();
    detachSocket();
    disconnectAndWait(socket);
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
