// The Signal K source against a server of the test's own on loopback, driven by the steps of signalk.tsv: the
// request and the subscription, the hello and deltas, values beyond reason, another boat, a 10 MB message, a server
// that drops or comes up late, a host name whose lookup never answers. Then the Signal K server itself, where it is
// installed.
#include "testsupport.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QUdpSocket>
#include <QWebSocket>
#include <QWebSocketServer>

using namespace TestSupport;

extern "C" std::atomic<bool> quillmere_hold_lookups; // tests/lookupstub.cpp

class TestSignalK : public QObject
{
    Q_OBJECT

    QWebSocketServer m_server{"test", QWebSocketServer::NonSecureMode};
    QList<QWebSocket *> m_clients; // every connection so far, the latest last
    QStringList m_received;        // what the latest client sent

    QString where(BackEnd *b)
    {
        if (b->currentPosition().isNull())
            return "none";
        return QString("%1 %2 cog %3 sog %4").arg(b->currentPosition().y()).arg(b->currentPosition().x())
            .arg(b->currentCourseSpeed().first).arg(b->currentCourseSpeed().second);
    }

    // The latest connection: the stream's address, the token, and a subscription to this boat's four paths.
    void checkSubscription(const QString &token)
    {
        QTRY_VERIFY(!m_clients.isEmpty() && !m_received.isEmpty());
        QWebSocket *client = m_clients.last();
        QCOMPARE(client->requestUrl().path(), QString("/signalk/v1/stream"));
        QCOMPARE(client->requestUrl().query(), QString("subscribe=none"));
        QCOMPARE(client->request().rawHeader("Authorization"), token.isEmpty() ? QByteArray() : "Bearer " + token.toUtf8());
        const QJsonObject request = QJsonDocument::fromJson(m_received.first().toUtf8()).object();
        QCOMPARE(request.value("context").toString(), QString("vessels.self"));
        QStringList paths;
        for (const QJsonValue entry : request.value("subscribe").toArray()) {
            paths << entry.toObject().value("path").toString();
            QCOMPARE(entry.toObject().value("minPeriod").toInt(), 1000);
        }
        QCOMPARE(paths.join(' '), QString("environment.outside.pressure navigation.position "
                                          "navigation.courseOverGroundTrue navigation.speedOverGround"));
    }

private slots:
    void init()
    {
        Clock::setIntervalScale(0.1);
        connect(&m_server, &QWebSocketServer::newConnection, this, [this] {
            while (QWebSocket *client = m_server.nextPendingConnection()) {
                m_clients << client, m_received.clear();
                connect(client, &QWebSocket::textMessageReceived, this, [this](const QString &m) { m_received << m; });
            }
        });
    }
    void cleanup()
    {
        m_server.close();
        m_server.disconnect(this);
        qDeleteAll(m_clients);
        m_clients.clear();
    }
    void cleanupTestCase() { quillmere_hold_lookups = false; } // a lookup hangs until then

    void stream_data() { addRows("signalk.tsv"); }
    void stream()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        const quint16 port = m_server.serverPort();
        if (cell("steps").startsWith("late")) // the port stays free in the test's own network namespace
            m_server.close();
        QVariantMap settings = settingsFrom(cell("settings"));
        settings.insert("SettingUseSignalK", 1);
        settings.insert("SettingSignalKPort", settings.value("SettingSignalKPort", port));
        MessageLog log;
        auto fixture = std::make_unique<BackEndFixture>(settings);
        BackEnd *b = fixture->backend();
        int connections = 0;
        for (const QString &step : items(cell("steps"))) {
            const QString verb = step.section(':', 0, 0), arg = step.section(':', 1);
            const QString subject = step.section('=', 0, 0), expected = step.section('=', 1);
            if (verb == "late") // closed before the start
                continue;
            if (verb == "listen") {
                QVERIFY(m_server.listen(QHostAddress::LocalHost, port));
            } else if (verb == "connected") { // a new connection, subscribed as it should be
                QTRY_VERIFY(m_clients.size() > connections);
                connections = m_clients.size();
                checkSubscription(settings.value("SettingSignalKToken").toString());
            } else if (verb == "send") {
                m_clients.last()->sendTextMessage(arg);
            } else if (verb == "big") { // a valid delta padded to that many bytes
                const QString delta = R"({"updates":[{"values":[{"path":"environment.outside.pressure","value":99000}]}],"x":"%1"})";
                m_clients.last()->sendTextMessage(delta.arg(QString(arg.toInt(), 'x')));
            } else if (verb == "drop") {
                m_clients.last()->abort();
            } else if (verb == "advance") {
                Clock::advance(arg.toLongLong());
            } else if (verb == "log") {
                QTRY_VERIFY2(log.contains(arg), qPrintable(arg));
            } else if (verb == "stop") { // the worker and back end end at once, whatever the link is doing
                fixture.reset();
                QVERIFY(log.indexOf("backend deleted") > log.indexOf("nmea source deleted: 5"));
            } else if (subject == "pressure") {
                QTRY_COMPARE(QString::number(b->getCurrentPressure()), expected);
            } else if (subject == "settled") { // once the messages before were taken: the pong follows them
                m_clients.last()->ping();
                QSignalSpy pong(m_clients.last(), &QWebSocket::pong);
                QVERIFY(pong.wait(5000));
                QCOMPARE(QString::number(b->getCurrentPressure()) + ", " + where(b), expected);
            } else if (subject == "fix") {
                QTRY_COMPARE(where(b), expected);
            } else if (subject == "relayed") {
                QCOMPARE(QString::number(b->relayPressure()) + ", " + (b->relayFix().valid ? "fix" : "no fix"), expected);
            } else if (subject == "source") {
                QCOMPARE(b->getPressureSource(), expected);
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
        }
    }

    // The server of npm's signalk-server, installed in QUILLMERE_SIGNALK_SERVER (or /opt/signalk), run in a network
    // namespace of the test's own since it listens on every address. It reads the relay's MDA (provider "quillmere")
    // and the test's own instrument (provider "masthead"); the program shows and records what the server sends it,
    // and never relays it back.
    void realServer()
    {
        const QString folder = qEnvironmentVariable("QUILLMERE_SIGNALK_SERVER", "/opt/signalk");
        const QString script = folder + "/node_modules/signalk-server/bin/signalk-server";
        if (!QFile::exists(script) || QStandardPaths::findExecutable("node").isEmpty()
            || QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP(qPrintable("no Signal K server in " + folder + " (QUILLMERE_SIGNALK_SERVER names another folder); "
                             "install it there with `npm install --omit=optional --ignore-scripts signalk-server@2.23.0`"
                             " (with node 20 or newer, and setpriv)"));
        if (!insideOwnNetworkNamespace()) {
            QString why;
            const int status = runInOwnNetworkNamespace("realServer", &why, 240000); // node starts in 10 to 60 s
            if (status == -1)
                QSKIP(qPrintable(why));
            QCOMPARE(status, 0);
            return;
        }
        QTemporaryDir config;
        QFile settings(config.filePath("settings.json"));
        QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write(R"({"mdns": false, "port": 3000, "pipedProviders": [
  {"id": "quillmere", "enabled": true, "pipeElements": [{"type": "providers/simple",
    "options": {"type": "NMEA0183", "subOptions": {"type": "udp", "port": "10110"}}}]},
  {"id": "masthead", "enabled": true, "pipeElements": [{"type": "providers/simple",
    "options": {"type": "NMEA0183", "subOptions": {"type": "udp", "port": "10111"}}}]}]})") > 0);
        settings.close();
        QProcess server; // ended with the test, also when the test itself is ended
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.setStandardOutputFile(QProcess::nullDevice()); // a line for every request
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", config.path());
        server.setProcessEnvironment(env);
        server.start("setpriv", {"--pdeathsig", "TERM", "node", script, "-c", config.path()});
        QNetworkAccessManager http;
        http.setProxy(QNetworkProxy::NoProxy);
        const auto rest = [&http](const QString &path) {
            std::unique_ptr<QNetworkReply> reply(http.get(QNetworkRequest(QUrl("http://127.0.0.1:3000/signalk" + path))));
            QSignalSpy finished(reply.get(), &QNetworkReply::finished);
            finished.wait(10000);
            return QJsonDocument::fromJson(reply->readAll()).object();
        };
        const QString pressurePath = "/v1/api/vessels/self/environment/outside/pressure";
        QTRY_VERIFY_WITH_TIMEOUT(!rest("").isEmpty(), 180000);
        qInfo() << "Signal K server" << rest("").value("server").toObject().value("version").toString();

        MessageLog log;
        BackEndFixture fixture(settingsFrom("SettingUseUdp=1;SettingUdpPort=10112;SettingUseUdpOut=1;updPort=10110;"
                                            "SettingUseSignalK=1;SettingSignalKPort=3000"), true);
        BackEnd *b = fixture.backend();
        const auto pressure = [b] { return QString::number(b->getCurrentPressure()); };
        QUdpSocket instrument;
        const auto send = [&instrument](const QByteArray &sentence, quint16 port) {
            instrument.writeDatagram(sentence + "\r\n", QHostAddress::LocalHost, port);
        };
        // The barometer on UDP, one reading: the relay's MDA becomes the server's pressure in Pa, to the bars' last
        // decimal, and the server sends it back.
        QTRY_VERIFY(log.contains("udp source activated"));
        send("$IIXDR,P,1.00853,B,Barometer*28", 10112);
        QTRY_COMPARE(pressure(), QString("1008.53"));
        QCOMPARE(b->getPressureSource(), QString("From UDP connection"));
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(rest(pressurePath).value("value").toDouble() - 100853.0) <= 0.5, 20000);
        qInfo() << "relayed 1008.53 hPa, the server answered" << rest(pressurePath);
        QTRY_VERIFY_WITH_TIMEOUT(b->pressureAge(SourceSignalK) >= 0, 20000);

        // The barometer falls silent; the masthead's instrument reaches the program through the server alone.
        Clock::advance(60000);
        QCOMPARE(b->relayPressure(), NO_PRESSURE);
        QTRY_VERIFY_WITH_TIMEOUT((send("$IIMDA,29.5636,I,1.00114,B,,,,,,,,,,,,,,,,*4B", 10111), pressure() == "1001.14"), 20000);
        QCOMPARE(b->getPressureSource(), QString("From Signal K connection"));
        // The server hands a subscriber the first of the MDA's two pressures, the inches': 1001.1384 hPa.
        QTRY_VERIFY_WITH_TIMEOUT(historyRowCount("BARO30M WHERE ABS(PRE - 1001.14) < 0.002") >= 2, 20000);

        // Had the relay sent it on, the server would hold it from "quillmere" before this later sentence there.
        QTRY_VERIFY_WITH_TIMEOUT((send("$IIMTW,15.5,C*12", 10110), !rest("/v1/api/vessels/self/environment/water").isEmpty()), 20000);
        const QJsonObject fromRelay = rest(pressurePath).value("values").toObject().value("quillmere.GP").toObject();
        QVERIFY2(qAbs(fromRelay.value("value").toDouble() - 100853.0) <= 0.5, qPrintable(QJsonDocument(fromRelay).toJson()));
        Clock::advance(60000);
        QTRY_COMPARE(b->getCurrentPressure(), NO_PRESSURE);
    }
};

QTEST_GUILESS_MAIN(TestSignalK)
#include "tst_signalk.moc"
