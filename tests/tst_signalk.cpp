// The Signal K source against a server of the test's own on loopback, driven by the steps of signalk.tsv: the
// request and the subscription, the hello and deltas, values beyond reason, another boat, a 10 MB message, a server
// that drops or comes up late, a host name whose lookup never answers.
#include "testsupport.h"

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
};

QTEST_GUILESS_MAIN(TestSignalK)
#include "tst_signalk.moc"
