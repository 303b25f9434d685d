// The UDP source on loopback: terminators, sentences across datagrams, the
// bind rules for "0.0.0.0", "any", a multicast group and a unicast address,
// and a port held by a program that does not share it.
#include "backend.h"
#include "clock.h"
#include "nmeareceiver.h"
#include "nmeasourceudp.h"
#include "testsupport.h"

#include <QUdpSocket>
#include <QtTest>

class TestNmeaSourceUdp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void datagrams_data();
    void datagrams();
    void bindRules_data();
    void bindRules();
    void portTakenByNonSharingSocket();

private:
    quint16 freePort();
    NmeaSourceUdp *startSource(const QString &address, quint16 port);

    TestSupport::TempWorkDir *m_dir = nullptr;
    BackEnd *m_backEnd = nullptr;
    NmeaReceiver *m_receiver = nullptr;
};

void TestNmeaSourceUdp::init()
{
    Clock::setIntervalScale(0.01);
    m_dir = new TestSupport::TempWorkDir;
    TestSupport::writeSettings(TestSupport::quietSettings());
    m_backEnd = new BackEnd(nullptr);
    m_receiver = new NmeaReceiver;
    m_receiver->slot_startReceiving();
}

void TestNmeaSourceUdp::cleanup()
{
    delete m_receiver;
    delete m_backEnd;
    delete m_dir;
    Clock::setIntervalScale(1.0);
}

quint16 TestNmeaSourceUdp::freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
    return probe.localPort();
}

NmeaSourceUdp *TestNmeaSourceUdp::startSource(const QString &address, quint16 port)
{
    auto *source = new NmeaSourceUdp(m_receiver, address, port);
    source->slot_startReceiving();
    return source;
}

void TestNmeaSourceUdp::datagrams_data()
{
    QTest::addColumn<QByteArrayList>("datagrams");
    QTest::addColumn<double>("pressure");
    QTest::newRow("crlf") << QByteArrayList{"$IIXDR,P,1.00500,B,Barometer\r\n"} << 1005.0;
    QTest::newRow("split") << QByteArrayList{"$IIXDR,P,1.00", "600,B,Barometer\r\n"} << 1006.0;
    QTest::newRow("two in one") << QByteArrayList{"$IIXDR,P,1.00100,B,Barometer\r\n$IIXDR,P,1.00700,B,Barometer\n"}
                                << 1007.0;
    QTest::newRow("no terminators")
        << QByteArrayList{"$IIXDR,P,1.00500,B,Barometer", "$IIXDR,P,1.00500,B,Barometer"} << NO_PRESSURE;
}

void TestNmeaSourceUdp::datagrams()
{
    QFETCH(QByteArrayList, datagrams);
    QFETCH(double, pressure);
    const quint16 port = freePort();
    NmeaSourceUdp *source = startSource(QStringLiteral("0.0.0.0"), port);
    QVERIFY(source->isBound());
    QUdpSocket sender;
    for (const QByteArray &datagram : datagrams) {
        sender.writeDatagram(datagram, QHostAddress::LocalHost, port);
        QTest::qWait(30);
    }
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(pressure)));
}

void TestNmeaSourceUdp::bindRules_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("absent");
    QTest::newRow("all ipv4") << "0.0.0.0" << "empty datagram data received" << "multicast";
    QTest::newRow("any") << "ANY" << "udp source activated" << "multicast";
    QTest::newRow("multicast") << "239.255.0.77" << "multicast group" << "";
    QTest::newRow("unicast") << "127.0.0.1" << "unable to join multicast group" << "joined to multicast group ok!";
}

void TestNmeaSourceUdp::bindRules()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QFETCH(QString, absent);
    TestSupport::MessageLog log;
    const quint16 port = freePort();
    NmeaSourceUdp *source = startSource(address, port);
    QVERIFY(source->isBound());
    QVERIFY(log.contains(expected));
    if (!absent.isEmpty())
        QVERIFY(!log.contains(absent));
    QUdpSocket sender;
    sender.writeDatagram("$IIXDR,P,1.00900,B,Barometer\r\n", QHostAddress::LocalHost, port);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(1009.0)));
}

void TestNmeaSourceUdp::portTakenByNonSharingSocket()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress(QHostAddress::AnyIPv4), 0, QAbstractSocket::DontShareAddress));
    TestSupport::MessageLog log;
    NmeaSourceUdp *source = startSource(QStringLiteral("0.0.0.0"), holder.localPort());
    QVERIFY(!source->isBound());
    QVERIFY(!log.contains(QStringLiteral("udp source activated")));
    QTest::qWait(300); // a first opening is not retried
    QVERIFY(!log.contains(QStringLiteral("trying to reconnect to udp")));
    QCOMPARE(m_backEnd->getCurrentPressure(), NO_PRESSURE);
}

QTEST_GUILESS_MAIN(TestNmeaSourceUdp)
#include "tst_nmeasourceudp.moc"
