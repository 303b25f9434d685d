#include "clock.h"
#include "nmeasenderudp.h"
#include "testsupport.h"

#include <QtTest>
#include <QUdpSocket>

namespace {
// 5 December 2026, 12:34:56 UTC.
const qint64 SampleInstant = QDateTime(QDate(2026, 12, 5), QTime(12, 34, 56), Qt::UTC).toMSecsSinceEpoch();

void sendToLoopback(QSet<QHostAddress> addresses = {QHostAddress(QHostAddress::LocalHost)})
{
    NmeaSenderUdp::setDestinationProvider([addresses]() { return addresses; });
}

QByteArray receiveOne(QUdpSocket &socket)
{
    if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(5000))
        return QByteArray();
    QByteArray datagram(int(socket.pendingDatagramSize()), '\0');
    socket.readDatagram(datagram.data(), datagram.size());
    return datagram;
}
}

class TestNmeaSenderUdp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void buildXdr_data();
    void buildXdr();
    void buildRmc_data();
    void buildRmc();
    void sendsOneDatagramPerDestination();
    void nullAddressDoesNotSpoilTheSend();
    void noDestinationFailsAndRestarts_data();
    void noDestinationFailsAndRestarts();
    void interfaceFilter();
    void independentParserAgrees();
};

void TestNmeaSenderUdp::init()
{
    sendToLoopback();
    Clock::setWallClock(SampleInstant);
}

void TestNmeaSenderUdp::cleanup()
{
    Clock::reset();
    // Leave nothing pointing at real interfaces: the next test sets its own.
    sendToLoopback();
}

void TestNmeaSenderUdp::buildXdr_data()
{
    QTest::addColumn<double>("pressure");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("standard") << 1013.25 << "$GPXDR,P,1.01325,B,Barometer*34";
    QTest::newRow("below a bar") << 999.9 << "$GPXDR,P,0.99990,B,Barometer*30";
    QTest::newRow("rounded to 5 decimals") << 1013.254 << "$GPXDR,P,1.01325,B,Barometer*34";
}

void TestNmeaSenderUdp::buildXdr()
{
    QFETCH(double, pressure);
    QFETCH(QString, sentence);
    QCOMPARE(NmeaSenderUdp::buildXdr(pressure), sentence);
}

void TestNmeaSenderUdp::buildRmc_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<double>("sog");
    QTest::addColumn<double>("cog");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("San Francisco") << QPointF(-122.5, 37.75) << 5.5 << 270.0
                                   << "$ECRMC,123456.00,A,3745.000,N,12230.000,W,5.50,270.00,051226,,,*1B";
    QTest::newRow("Sydney") << QPointF(151.215, -33.856) << 0.0 << 0.0
                            << "$ECRMC,123456.00,A,3351.360,S,15112.900,E,0.00,0.00,051226,,,*18";
    QTest::newRow("half degrees") << QPointF(5.5, 5.5) << 12.345 << 359.999
                                  << "$ECRMC,123456.00,A,0530.000,N,00530.000,E,12.35,360.00,051226,,,*3B";
    // Minutes that round up to 60 carry into the degrees.
    QTest::newRow("carry") << QPointF(5.99999999, 5.99999999) << 1.0 << 2.0
                           << "$ECRMC,123456.00,A,0600.000,N,00600.000,E,1.00,2.00,051226,,,*08";
    QTest::newRow("carry at 60 degrees and 180") << QPointF(-179.9999999, -59.9999999) << 1.0 << 2.0
                                         << "$ECRMC,123456.00,A,6000.000,S,18000.000,W,1.00,2.00,051226,,,*08";
    QTest::newRow("half a thousandth rounds up") << QPointF(0.0000083334, 0.0000083334) << 1.0 << 2.0
                                                 << "$ECRMC,123456.00,A,0000.001,N,00000.001,E,1.00,2.00,051226,,,*08";
}

void TestNmeaSenderUdp::buildRmc()
{
    QFETCH(QPointF, position);
    QFETCH(double, sog);
    QFETCH(double, cog);
    QFETCH(QString, sentence);
    QCOMPARE(NmeaSenderUdp::buildRmc(position, sog, cog), sentence);
}

void TestNmeaSenderUdp::sendsOneDatagramPerDestination()
{
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
    NmeaSenderUdp sender;
    QCOMPARE(sender.destinations(), QSet<QHostAddress>{QHostAddress(QHostAddress::LocalHost)});

    QVERIFY(sender.sendPressure(1013.25, listener.localPort()));
    QCOMPARE(receiveOne(listener), QByteArray("$GPXDR,P,1.01325,B,Barometer*34\r\n"));

    QVERIFY(sender.sendPosition(QPointF(-122.5, 37.75), 5.5, 270.0, listener.localPort()));
    QCOMPARE(receiveOne(listener),
             QByteArray("$ECRMC,123456.00,A,3745.000,N,12230.000,W,5.50,270.00,051226,,,*1B\r\n"));
    QVERIFY(!listener.hasPendingDatagrams());
}

void TestNmeaSenderUdp::nullAddressDoesNotSpoilTheSend()
{
    // An IPv6 entry contributes the null address, whose write fails (-1);
    // the sum stays positive thanks to the IPv4 datagram.
    sendToLoopback({QHostAddress(QHostAddress::LocalHost), QHostAddress()});
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
    TestSupport::MessageLog log;
    NmeaSenderUdp sender;
    QVERIFY(sender.sendPressure(1013.25, listener.localPort()));
    QCOMPARE(receiveOne(listener), QByteArray("$GPXDR,P,1.01325,B,Barometer*34\r\n"));
    QVERIFY(sender.hasSocket());
    QVERIFY(!log.contains("error in send"));
}

void TestNmeaSenderUdp::noDestinationFailsAndRestarts_data()
{
    QTest::addColumn<bool>("position");
    QTest::newRow("pressure") << false;
    QTest::newRow("position") << true;
}

void TestNmeaSenderUdp::noDestinationFailsAndRestarts()
{
    QFETCH(bool, position);
    const QString kind = position ? "position" : "pressure";
    auto send = [position](NmeaSenderUdp &sender) {
        return position ? sender.sendPosition(QPointF(1.0, 2.0), 3.0, 4.0, 10110) : sender.sendPressure(1000.0, 10110);
    };
    sendToLoopback({});
    Clock::setIntervalScale(0.01); // the 5 s restart comes after 50 ms
    TestSupport::MessageLog log;
    NmeaSenderUdp sender;
    QVERIFY(sender.destinations().isEmpty());

    QVERIFY(!send(sender));
    QCOMPARE(log.count("error in send " + kind), 1);
    QVERIFY(!sender.hasSocket());
    QVERIFY(!send(sender));
    QCOMPARE(log.count("no udp socket (" + kind + ")"), 1);

    // The restart rebuilds the destinations too: give it loopback now.
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
    sendToLoopback();
    QTRY_VERIFY_WITH_TIMEOUT(sender.hasSocket(), 2000);
    QCOMPARE(sender.destinations(), QSet<QHostAddress>{QHostAddress(QHostAddress::LocalHost)});
    QVERIFY(position ? sender.sendPosition(QPointF(1.0, 2.0), 3.0, 4.0, listener.localPort())
                     : sender.sendPressure(1000.0, listener.localPort()));
    QVERIFY(!receiveOne(listener).isEmpty());
}

void TestNmeaSenderUdp::interfaceFilter()
{
    // Only computed here, never sent to.
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    const QSet<QHostAddress> chosen = NmeaSenderUdp::broadcastAddressesOf(interfaces);
    QSet<QHostAddress> fromQualifying;
    QSet<QHostAddress> fromOthers;
    for (const QNetworkInterface &i : interfaces) {
        const auto f = i.flags();
        const bool qualifies = i.isValid() && !(f & QNetworkInterface::IsLoopBack)
            && (f & QNetworkInterface::CanBroadcast) && (f & QNetworkInterface::IsUp)
            && (f & QNetworkInterface::IsRunning);
        for (const QNetworkAddressEntry &e : i.addressEntries())
            (qualifies ? fromQualifying : fromOthers).insert(e.broadcast());
        if (f & QNetworkInterface::IsLoopBack) {
            for (const QNetworkAddressEntry &e : i.addressEntries())
                QVERIFY(!chosen.contains(e.ip()));
        }
    }
    QCOMPARE(chosen, fromQualifying);
    for (const QHostAddress &a : chosen)
        QVERIFY(a.isNull() || a.protocol() == QAbstractSocket::IPv4Protocol);
    QVERIFY(NmeaSenderUdp::broadcastAddressesOf({}).isEmpty());
}

void TestNmeaSenderUdp::independentParserAgrees()
{
    struct Case
    {
        QPointF position;
        double sog;
        double cog;
    };
    const QList<Case> cases{{{-122.5, 37.75}, 5.5, 270.0},
                            {{151.215, -33.856}, 0.0, 0.0},
                            {{5.99999999, 5.99999999}, 12.34, 359.99},
                            {{-0.5, 89.999}, 30.0, 180.5},
                            {{179.9999, -0.0001}, 0.01, 0.0}};
    const QList<double> pressures{1013.25, 999.9, 1050.0, 950.12345};
    QTemporaryDir dir;
    QFile file(dir.filePath("sentences.nmea"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const Case &c : cases)
        file.write(NmeaSenderUdp::buildRmc(c.position, c.sog, c.cog).toUtf8() + "\r\n");
    for (double p : pressures)
        file.write(NmeaSenderUdp::buildXdr(p).toUtf8() + "\r\n");
    file.close();

    // Debian's pynmea2, with its checksum check on.
    const QString script = QStringLiteral(
        "import sys, pynmea2\n"
        "for line in open(sys.argv[1]):\n"
        "    m = pynmea2.parse(line.strip(), check=True)\n"
        "    if m.sentence_type == 'RMC':\n"
        "        print('RMC %.6f %.6f %.2f %.2f %s %s %s' % (m.latitude, m.longitude, m.spd_over_grnd,\n"
        "              m.true_course, m.status, m.datestamp.isoformat(), m.timestamp.isoformat()))\n"
        "    else:\n"
        "        print('XDR %s %.5f %s %s' % (m.type, float(m.value), m.units, m.id))\n");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, file.fileName()});
    QVERIFY2(python.waitForFinished(30000), "python3 did not finish");
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), cases.size() + pressures.size());

    for (int i = 0; i < cases.size(); ++i) {
        const QStringList f = lines.at(i).split(' ');
        QCOMPARE(f.at(0), QString("RMC"));
        // Thousandths of a minute: within 1e-5 degrees.
        QVERIFY2(qAbs(f.at(1).toDouble() - cases.at(i).position.y()) < 1e-5, qPrintable(lines.at(i)));
        QVERIFY2(qAbs(f.at(2).toDouble() - cases.at(i).position.x()) < 1e-5, qPrintable(lines.at(i)));
        QCOMPARE(f.at(3).toDouble(), qRound(cases.at(i).sog * 100) / 100.0);
        QCOMPARE(f.at(4).toDouble(), qRound(cases.at(i).cog * 100) / 100.0);
        QCOMPARE(f.mid(5), (QStringList{"A", "2026-12-05", "12:34:56"}));
    }
    for (int i = 0; i < pressures.size(); ++i) {
        const QStringList f = lines.at(cases.size() + i).split(' ');
        QCOMPARE(f.at(0), QString("XDR"));
        QCOMPARE(f.at(1), QString("P"));
        QVERIFY(qAbs(f.at(2).toDouble() * 1000.0 - pressures.at(i)) < 0.006);
        QCOMPARE(f.mid(3), (QStringList{"B", "Barometer"}));
    }
}

QTEST_GUILESS_MAIN(TestNmeaSenderUdp)
#include "tst_nmeasenderudp.moc"
