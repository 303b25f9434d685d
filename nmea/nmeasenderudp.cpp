#include "nmeasenderudp.h"

#include "clock.h"
#include "nmea0183.h"

#include <QDebug>
#include <QMutex>
#include <QTimer>
#include <QUdpSocket>

#include <cmath>

namespace {
constexpr int RestartDelayMs = 5000;
constexpr qint64 ThousandthsPerDegree = 60000; // thousandths of a minute
constexpr double InHgPerHpa = 0.029529983071445;

// Both senders (worker and GUI thread) read the provider at their restart.
QMutex providerMutex;
NmeaSenderUdp::DestinationProvider destinationProvider;
// The local ports of the senders' sockets; the UDP input reads them.
QMutex ownPortsMutex;
QSet<quint16> ownPorts;

QSet<QHostAddress> machineBroadcastAddresses()
{
    return NmeaSenderUdp::broadcastAddressesOf(QNetworkInterface::allInterfaces());
}

// dd(d)mm.mmm of the absolute value, rounded to thousandths of a minute;
// a minute part that rounds up to 60 becomes the next degree.
QString coordinateText(double value, int degreeDigits)
{
    const double a = std::isfinite(value) ? std::fabs(value) : 0.0;
    qint64 degrees = qint64(std::floor(a));
    qint64 thousandths = qint64(std::floor((a - double(degrees)) * ThousandthsPerDegree + 0.5));
    if (thousandths >= ThousandthsPerDegree) {
        ++degrees;
        thousandths -= ThousandthsPerDegree;
    }
    return QStringLiteral("%1%2.%3")
        .arg(degrees, degreeDigits, 10, QLatin1Char('0'))
        .arg(thousandths / 1000, 2, 10, QLatin1Char('0'))
        .arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
}

QString withChecksum(const QString &text)
{
    return text + QLatin1Char('*') + Nmea0183::checksum(text.toUtf8());
}
}

NmeaSenderUdp::NmeaSenderUdp()
{
    slot_restart();
}

NmeaSenderUdp::~NmeaSenderUdp()
{
    dropSocket();
}

void NmeaSenderUdp::dropSocket()
{
    delete socket;
    socket = nullptr;
    QMutexLocker lock(&ownPortsMutex);
    ownPorts.remove(ownPort);
    ownPort = 0;
}

bool NmeaSenderUdp::isOwnDatagram(const QHostAddress &sender, quint16 senderPort)
{
    {
        QMutexLocker lock(&ownPortsMutex);
        if (!ownPorts.contains(senderPort))
            return false;
    }
    // The same port on another machine is another program.
    return sender.isLoopback() || QNetworkInterface::allAddresses().contains(sender);
}

void NmeaSenderUdp::setDestinationProvider(DestinationProvider provider)
{
    QMutexLocker lock(&providerMutex);
    destinationProvider = std::move(provider);
}

QSet<QHostAddress> NmeaSenderUdp::broadcastAddressesOf(const QList<QNetworkInterface> &interfaces)
{
    const QNetworkInterface::InterfaceFlags wanted = QNetworkInterface::CanBroadcast
        | QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    QSet<QHostAddress> addresses;
    for (const QNetworkInterface &interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!interface.isValid() || (flags & QNetworkInterface::IsLoopBack) || (flags & wanted) != wanted)
            continue;
        // IPv6 entries have no broadcast address and contribute the null one.
        for (const QNetworkAddressEntry &entry : interface.addressEntries())
            addresses.insert(entry.broadcast());
    }
    return addresses;
}

void NmeaSenderUdp::slot_restart()
{
    DestinationProvider provider;
    {
        QMutexLocker lock(&providerMutex);
        provider = destinationProvider;
    }
    broadcastAddresses = provider ? provider() : machineBroadcastAddresses();
    dropSocket();
    socket = new QUdpSocket(this);
}

QString NmeaSenderUdp::buildXdr(double pressure)
{
    return withChecksum(
        QStringLiteral("$GPXDR,P,%1,B,Barometer").arg(pressure / 1000.0, 0, 'f', 5));
}

QString NmeaSenderUdp::buildMda(double pressure)
{
    // The meteorological composite's other sixteen fields (temperatures,
    // humidity, dew point, wind) are not the barograph's: left empty.
    return withChecksum(QStringLiteral("$GPMDA,%1,I,%2,B,,,,,,,,,,,,,,,,")
                            .arg(pressure * InHgPerHpa, 0, 'f', 4)
                            .arg(pressure / 1000.0, 0, 'f', 5));
}

QString NmeaSenderUdp::buildRmc(const QPointF &position, double sog, double cog)
{
    const QDateTime now = Clock::currentDateTimeUtc();
    const double lat = position.y();
    const double lon = position.x();
    return withChecksum(QStringLiteral("$ECRMC,%1,A,%2,%3,%4,%5,%6,%7,%8,,,")
                            .arg(now.toString(QStringLiteral("hhmmss")) + QStringLiteral(".00"))
                            .arg(coordinateText(lat, 2), lat < 0.0 ? QStringLiteral("S") : QStringLiteral("N"))
                            .arg(coordinateText(lon, 3), lon < 0.0 ? QStringLiteral("W") : QStringLiteral("E"))
                            .arg(sog, 0, 'f', 2)
                            .arg(cog, 0, 'f', 2)
                            .arg(now.toString(QStringLiteral("ddMMyy"))));
}

bool NmeaSenderUdp::sendPressure(double pressure, int port)
{
    if (!socket) {
        qWarning() << "no udp socket (pressure)";
        return false;
    }
    // Two datagrams, a sentence each, as listeners that take one sentence a
    // datagram expect.
    return send({buildXdr(pressure), buildMda(pressure)}, port, "error in send pressure");
}

bool NmeaSenderUdp::sendPosition(const QPointF &position, double sog, double cog, int port)
{
    if (!socket) {
        qWarning() << "no udp socket (position)";
        return false;
    }
    return send({buildRmc(position, sog, cog)}, port, "error in send position");
}

bool NmeaSenderUdp::send(const QStringList &sentences, int port, const char *errorText)
{
    qint64 written = 0;
    for (const QString &sentence : sentences) {
        const QByteArray datagram = (sentence + QStringLiteral("\r\n")).toUtf8();
        for (const QHostAddress &address : qAsConst(broadcastAddresses))
            written += socket->writeDatagram(datagram, address, quint16(port));
    }
    if (ownPort == 0 && socket->localPort() != 0) {
        ownPort = socket->localPort();
        QMutexLocker lock(&ownPortsMutex);
        ownPorts.insert(ownPort);
    }
    if (written >= 1)
        return true;
    qWarning() << errorText << socket->errorString();
    dropSocket();
    QTimer::singleShot(Clock::interval(RestartDelayMs), this, &NmeaSenderUdp::slot_restart);
    return false;
}
