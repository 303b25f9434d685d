// The UDP source on loopback: terminators, sentences across datagrams, the
// bind rules for "0.0.0.0", "any", a multicast group (inside a network
// namespace of the test's own) and a unicast address, and a port held by a
// program that does not share it. Also the guard that keeps every address in
// the tests, tools, benchmarks and scripts on loopback.
#include "backend.h"
#include "clock.h"
#include "nmeareceiver.h"
#include "nmeasourceudp.h"
#include "testsupport.h"

#include <QDirIterator>
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
    void addressesStayOnLoopback();

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
    // Joined only inside the test's own network namespace, never on this machine's interfaces.
    QTest::newRow("multicast") << "239.255.0.77" << "joined to multicast group ok!" << "unable to join";
    QTest::newRow("unicast") << "127.0.0.1" << "unable to join multicast group" << "joined to multicast group ok!";
}

void TestNmeaSourceUdp::bindRules()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QFETCH(QString, absent);
    const bool multicast = QHostAddress(address).isMulticast();
    if (multicast && !TestSupport::insideOwnNetworkNamespace()) {
        QString why;
        const int status = TestSupport::runInOwnNetworkNamespace(QStringLiteral("bindRules:multicast"), &why);
        if (status == -1)
            QSKIP(qPrintable(why));
        QCOMPARE(status, 0);
        return;
    }
    TestSupport::MessageLog log;
    const quint16 port = freePort();
    NmeaSourceUdp *source = startSource(address, port);
    QVERIFY(source->isBound());
    QVERIFY(log.contains(expected));
    QVERIFY(!log.contains(absent));
    QUdpSocket sender;
    // To the group itself: the datagram must come back through the membership.
    sender.writeDatagram("$IIXDR,P,1.00900,B,Barometer\r\n", multicast ? QHostAddress(address) : QHostAddress(QHostAddress::LocalHost), port);
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

// Every IPv4 literal in the tests, tools, benchmarks and scripts is loopback
// or the wildcard, unless it is listed here with its reason.
void TestNmeaSourceUdp::addressesStayOnLoopback()
{
    const QMap<QString, QString> allowed{
        {QStringLiteral("239.255.0.77"), QStringLiteral("multicast group, joined only in the test's own network namespace")},
        {QStringLiteral("224.0.0.0"), QStringLiteral("multicast route on lo, added only in the test's own network namespace")}};
    const QRegularExpression literal(QStringLiteral("(?<![\\d.])(\\d{1,3})\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}(?![\\d.])"));
    QStringList found;
    int files = 0;
    for (const char *folder : {"tests", "tools", "bench", "scripts"}) {
        QDirIterator it(QStringLiteral(QUILLMERE_SOURCE_DIR "/") + QLatin1String(folder), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            ++files;
            auto matches = literal.globalMatch(QString::fromLatin1(bytes));
            while (matches.hasNext()) {
                const QRegularExpressionMatch m = matches.next();
                const QString address = m.captured(0);
                if (m.captured(1).toInt() != 127 && address != QLatin1String("0.0.0.0") && !allowed.contains(address))
                    found << it.filePath() + QLatin1String(": ") + address;
            }
        }
    }
    QVERIFY(files > 50);
    QCOMPARE(found, QStringList());
}

QTEST_GUILESS_MAIN(TestNmeaSourceUdp)
#include "tst_nmeasourceudp.moc"
