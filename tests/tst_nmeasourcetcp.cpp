// The TCP source against a loopback server: first attempt not retried, lost
// connections retried until the server is back, the inactivity timer, the
// zero-padded address of the settings screen.
#include "backend.h"
#include "clock.h"
#include "nmea0183.h"
#include "nmeareceiver.h"
#include "nmeasourcetcp.h"
#include "testsupport.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
QByteArray mda(const QByteArray &bar)
{
    const QByteArray text = "$IIMDA,29.9,I," + bar + ",B,,,,,,,,,,,,,,,,";
    return text + '*' + Nmea0183::checksum(text).toLatin1() + "\r\n";
}
}

class TestNmeaSourceTcp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void serverAbsentAtStart();
    void serverClosesAfterData();
    void silentLinkIsReopened();
    void zeroPaddedAddress();

private:
    NmeaSourceTcp *startSource(const QString &address, int port);

    TestSupport::TempWorkDir *m_dir = nullptr;
    BackEnd *m_backEnd = nullptr;
    NmeaReceiver *m_receiver = nullptr;
};

void TestNmeaSourceTcp::init()
{
    // 10 s reconnect -> 100 ms, 30 s inactivity -> 300 ms.
    Clock::setIntervalScale(0.01);
    m_dir = new TestSupport::TempWorkDir;
    TestSupport::writeSettings(TestSupport::quietSettings());
    m_backEnd = new BackEnd(nullptr);
    m_receiver = new NmeaReceiver;
    m_receiver->slot_startReceiving();
}

void TestNmeaSourceTcp::cleanup()
{
    delete m_receiver;
    delete m_backEnd;
    delete m_dir;
    Clock::setIntervalScale(1.0);
}

NmeaSourceTcp *TestNmeaSourceTcp::startSource(const QString &address, int port)
{
    auto *source = new NmeaSourceTcp(m_receiver, address, port);
    source->slot_startReceiving();
    return source;
}

void TestNmeaSourceTcp::serverAbsentAtStart()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const int port = server.serverPort();
    server.close();
    TestSupport::MessageLog log;
    NmeaSourceTcp *source = startSource(QStringLiteral("127.0.0.1"), port);
    QVERIFY(!source->isConnected());
    QCOMPARE(log.count(QStringLiteral("trying to connect to tcp")), 1);
    QVERIFY(log.contains(QStringLiteral("Connection refused")));
    QVERIFY(log.contains(QStringLiteral("failed to connect to TCP host \"127.0.0.1\" %1").arg(port)));
    QTest::qWait(400); // several scaled reconnect delays
    QCOMPARE(log.count(QStringLiteral("trying to connect to tcp")), 1);
    QCOMPARE(m_backEnd->getCurrentPressure(), NO_PRESSURE);
}

void TestNmeaSourceTcp::serverClosesAfterData()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.serverPort();
    TestSupport::MessageLog log;
    NmeaSourceTcp *source = startSource(QStringLiteral("127.0.0.1"), port);
    QVERIFY(source->isConnected());
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    peer->write(mda("1.00800"));
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(1008.0)));

    server.close();
    peer->disconnectFromHost();
    // Qt reports the peer's close as an error before the disconnection; either path retries.
    QTRY_VERIFY(log.contains(QStringLiteral("tcp socket disconnected")) || log.contains(QStringLiteral("tcp socket error")));
    QCOMPARE(m_backEnd->getCurrentPressure(), NO_PRESSURE);
    QTRY_VERIFY(log.count(QStringLiteral("trying to reconnect to Tcp")) >= 2);
    QVERIFY(!source->isConnected());

    connect(&server, &QTcpServer::newConnection, this, [&server] {
        while (QTcpSocket *next = server.nextPendingConnection())
            next->write(mda("1.01500"));
    });
    QVERIFY(server.listen(QHostAddress::LocalHost, port));
    QTRY_VERIFY(source->isConnected());
    QVERIFY(log.count(QStringLiteral("tcp source activated")) >= 2);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(1015.0)));
}

void TestNmeaSourceTcp::silentLinkIsReopened()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    int accepted = 0;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket *peer = server.nextPendingConnection()) {
            ++accepted;
            peer->write(mda("1.01000"));
        }
    });
    startSource(QStringLiteral("127.0.0.1"), server.serverPort());
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(1010.0)));
    // The peer stays silent (a half-open link): the source must notice and dial again.
    QTRY_VERIFY_WITH_TIMEOUT(accepted >= 2, 3000);
}

void TestNmeaSourceTcp::zeroPaddedAddress()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    NmeaSourceTcp *source = startSource(QStringLiteral("127.000.000.001"), server.serverPort());
    QVERIFY(source->isConnected());
    QTRY_VERIFY(server.hasPendingConnections());
}

QTEST_GUILESS_MAIN(TestNmeaSourceTcp)
#include "tst_nmeasourcetcp.moc"
