#include "nmeasourcesignalk.h"

#include "backend.h"
#include "backendlink.h"
#include "clock.h"
#include "nmeasourcetcp.h"

#include <QNetworkRequest>
#include <QWebSocket>
#include <QtDebug>

namespace {
// A token is printable ASCII (JSON Web Tokens are base64url and dots): any
// other byte, a line break above all, would end the header it travels in.
QByteArray headerText(const QString &text)
{
    QByteArray kept;
    for (const char c : text.toUtf8()) {
        if (c > ' ' && c < 0x7f)
            kept += c;
    }
    return kept;
}
} // namespace

NmeaSourceSignalK::NmeaSourceSignalK(NmeaReceiver *parent, const QString &host, int port, const QString &token)
    : NmeaSource(parent, SourceSignalK)
    , url(streamUrl(host, port))
    , token(headerText(token))
    , reader(link.get(), SourceSignalK)
{
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [this] {
        if (!isConnected())
            return loseLink(QStringLiteral("no answer within %1 s").arg(ConnectMs / 1000));
        if (pinged)
            return loseLink(QStringLiteral("silent"));
        // Quiet: nothing changed on board, or the link is half-open. Asked.
        pinged = true;
        socket->ping();
        watchdog.start(Clock::interval(QuietMs));
    });
}

NmeaSourceSignalK::~NmeaSourceSignalK()
{
    if (socket)
        socket->disconnect(this);
}

QUrl NmeaSourceSignalK::streamUrl(const QString &host, int port)
{
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(NmeaSourceTcp::hostFor(host));
    url.setPort(port);
    url.setPath(QStringLiteral("/signalk/v1/stream"));
    // Nothing until asked: the subscription names what the barograph reads.
    url.setQuery(QStringLiteral("subscribe=none"));
    return url.isValid() && !url.host().isEmpty() && port > 0 && port < 65536 ? url : QUrl();
}

bool NmeaSourceSignalK::isConnected() const
{
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

void NmeaSourceSignalK::stopReceiving()
{
    watchdog.stop();
    if (socket) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        socket = nullptr;
    }
    withdrawPressure();
}

void NmeaSourceSignalK::slot_startReceiving()
{
    stopReceiving();
    if (url.isEmpty()) {
        // Settings that no retry can mend: the next start of the worker reads them again.
        qWarning() << "invalid Signal K host";
        return;
    }
    socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    // A message is one delta, a few hundred bytes: a larger one is not read
    // into memory, the server is dropped instead.
    socket->setMaxAllowedIncomingFrameSize(SignalKReader::MaxMessageBytes);
    socket->setMaxAllowedIncomingMessageSize(SignalKReader::MaxMessageBytes);
    connect(socket, &QWebSocket::connected, this, &NmeaSourceSignalK::slot_connected);
    connect(socket, &QWebSocket::disconnected, this, &NmeaSourceSignalK::slot_lost);
    connect(socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            &NmeaSourceSignalK::slot_lost);
    connect(socket, &QWebSocket::textMessageReceived, this, &NmeaSourceSignalK::slot_message);
    connect(socket, &QWebSocket::pong, this, [this] {
        pinged = false;
        watchdog.start(Clock::interval(QuietMs));
    });
    QNetworkRequest request(url);
    if (!token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + token);
    qWarning() << "trying to connect to Signal K" << url.toString();
    // The host name is looked up and the connection made in the background.
    watchdog.start(Clock::interval(ConnectMs));
    socket->open(request);
}

void NmeaSourceSignalK::slot_connected()
{
    qWarning() << "Signal K source activated" << url.toString();
    reconnecting = false;
    linked = true;
    reader.reset();
    pinged = false;
    watchdog.start(Clock::interval(QuietMs));
    socket->sendTextMessage(QString::fromUtf8(SignalKReader::subscription()));
}

void NmeaSourceSignalK::slot_message(const QString &message)
{
    pinged = false;
    watchdog.start(Clock::interval(QuietMs));
    // Refusals are not logged: a server sending garbage would fill the log.
    reader.feed(message.toUtf8());
}

void NmeaSourceSignalK::slot_lost()
{
    if (!socket)
        return;
    const QString why = socket->closeReason().isEmpty() ? socket->errorString() : socket->closeReason();
    loseLink(why);
}

void NmeaSourceSignalK::loseLink(const QString &why)
{
    stopReceiving();
    if (linked)
        qWarning() << "Signal K link lost" << why;
    else if (reconnecting)
        qWarning() << "trying to reconnect to Signal K" << why;
    else
        qWarning() << "failed to connect to Signal K server" << url.toString() << why;
    linked = false;
    reconnecting = true;
    // A server started after the computer, or restarted: tried again without end.
    scheduleReconnect(ReconnectMs);
}
