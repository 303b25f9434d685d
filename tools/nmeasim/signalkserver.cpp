#include "signalkserver.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

namespace {
constexpr qint64 BusyBytes = 256 * 1024;
constexpr double Pi = 3.14159265358979323846;
constexpr double MetresPerSecondPerKnot = 1852.0 / 3600.0;

QString isoTime(qint64 msSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch, Qt::UTC).toString(Qt::ISODateWithMs);
}
} // namespace

const QString SignalKServer::Self = QStringLiteral("vessels.urn:mrn:imo:mmsi:999000001");

SignalKServer::SignalKServer(QObject *parent)
    : QObject(parent)
    , m_server(new QWebSocketServer(QStringLiteral("nmeasim"), QWebSocketServer::NonSecureMode, this))
{
    connect(m_server, &QWebSocketServer::newConnection, this, &SignalKServer::slot_newConnection);
}

bool SignalKServer::listen(const QHostAddress &address, int port)
{
    return m_server->listen(address, quint16(port));
}

QString SignalKServer::errorString() const
{
    return m_server->errorString();
}

quint16 SignalKServer::port() const
{
    return m_server->serverPort();
}

void SignalKServer::slot_newConnection()
{
    while (QWebSocket *socket = m_server->nextPendingConnection()) {
        if (socket->requestUrl().path() != QLatin1String("/signalk/v1/stream")) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("no such stream"));
            socket->deleteLater();
            continue;
        }
        const QString wanted = QUrlQuery(socket->requestUrl()).queryItemValue(QStringLiteral("subscribe"));
        m_clients.append(Client{socket, {}, wanted != QLatin1String("none")});
        connect(socket, &QWebSocket::disconnected, this, [this, socket] {
            for (int i = 0; i < m_clients.size(); ++i) {
                if (m_clients.at(i).socket == socket)
                    m_clients.removeAt(i--);
            }
            socket->deleteLater();
        });
        connect(socket, &QWebSocket::textMessageReceived, this, [this, socket](const QString &message) {
            for (Client &client : m_clients) {
                if (client.socket == socket)
                    subscribe(client, message);
            }
        });
        const QJsonObject hello{{"name", "nmeasim"},
                                {"version", "2.0.0"},
                                {"self", Self},
                                {"roles", QJsonArray{"master", "main"}},
                                {"timestamp", isoTime(QDateTime::currentMSecsSinceEpoch())}};
        socket->sendTextMessage(QString::fromUtf8(QJsonDocument(hello).toJson(QJsonDocument::Compact)));
    }
}

void SignalKServer::subscribe(Client &client, const QString &message)
{
    const QJsonObject request = QJsonDocument::fromJson(message.toUtf8()).object();
    const QString context = request.value(QStringLiteral("context")).toString();
    if (context != QLatin1String("vessels.self") && context != Self && context != QLatin1String("*"))
        return;
    for (const QJsonValue entry : request.value(QStringLiteral("subscribe")).toArray())
        client.paths.insert(entry.toObject().value(QStringLiteral("path")).toString());
    QTextStream(stdout) << "signalk: subscribed to " << QStringList(client.paths.values()).join(QLatin1Char(' ')) << '\n';
}

void SignalKServer::send(double pressureHpa, const Barometer::Track &track, bool position, qint64 msSinceEpoch)
{
    QList<QPair<QString, QJsonValue>> values{{QStringLiteral("environment.outside.pressure"), pressureHpa * 100.0}};
    if (position) {
        values.append({QStringLiteral("navigation.position"),
                       QJsonObject{{"latitude", track.lat}, {"longitude", track.lon}}});
        values.append({QStringLiteral("navigation.courseOverGroundTrue"), track.course * Pi / 180.0});
        values.append({QStringLiteral("navigation.speedOverGround"), track.knots * MetresPerSecondPerKnot});
    }
    for (const Client &client : qAsConst(m_clients)) {
        QJsonArray taken;
        for (const auto &value : values) {
            if (client.everything || client.paths.contains(value.first))
                taken.append(QJsonObject{{"path", value.first}, {"value", value.second}});
        }
        if (taken.isEmpty())
            continue;
        const QJsonObject update{{"source", QJsonObject{{"label", "nmeasim"}}},
                                 {"timestamp", isoTime(msSinceEpoch)},
                                 {"values", taken}};
        const QJsonObject delta{{"context", Self}, {"updates", QJsonArray{update}}};
        client.socket->sendTextMessage(QString::fromUtf8(QJsonDocument(delta).toJson(QJsonDocument::Compact)));
    }
}

bool SignalKServer::hasClients() const
{
    for (const Client &client : m_clients) {
        if (client.everything || !client.paths.isEmpty())
            return true;
    }
    return false;
}

bool SignalKServer::busy() const
{
    for (const Client &client : m_clients) {
        if (client.socket->bytesToWrite() > BusyBytes)
            return true;
    }
    return false;
}

void SignalKServer::closeAll()
{
    for (const Client &client : qAsConst(m_clients))
        client.socket->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("simulation over"));
}
