// The NMEA worker on its own thread, started by the back end: the sources
// the settings ask for and when, restarts, the relay, shutdown during a
// blocking connection attempt, and a simulated USB barometer's calibration.
#include "nmeareceiver.h"
#include "nmeasource.h"
#include "testsupport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

using namespace TestSupport;

class TestNmeaReceiver : public QObject
{
    Q_OBJECT

    BackEndFixture *m_fixture = nullptr;
    BackEnd *start(const QVariantMap &settings, bool fresh = false)
    {
        m_fixture = new BackEndFixture(settings, false, -1, fresh);
        return m_fixture->backend();
    }

private slots:
    void init() { Clock::setIntervalScale(0.01); }
    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
    }

    void sourcesFromSettings_data() { addRows("worker.tsv"); }
    void sourcesFromSettings()
    {
        BackEnd *b = start(settingsFrom(cell("settings")), cell("settings") == "fresh");
        QStringList ids;
        bool relay = false;
        if (NmeaReceiver *receiver = b->receiver()) { // read in the worker's thread
            QMetaObject::invokeMethod(receiver, [&] {
                for (NmeaSource *source : receiver->currentSources())
                    ids << QString::number(source->getSourceId());
                relay = receiver->isRelaying();
            }, Qt::BlockingQueuedConnection);
        }
        QCOMPARE_ROW(QString::number(b->receiver() != nullptr), "worker");
        QCOMPARE_ROW(ids.join(' '), "sources");
        QCOMPARE_ROW(QString::number(relay), "relay");
    }

    // A restart withdraws the old sources' values; any number of starts leave
    // one worker; with every source and the output off, none.
    void restarts()
    {
        QUdpSocket sender;
        QVERIFY(sender.bind(QHostAddress::LocalHost));
        const quint16 port = sender.localPort();
        sender.close();
        MessageLog log;
        BackEnd *b = start({{"SettingUseUdp", 1}, {"SettingUdpPort", port}});
        QPointer<NmeaReceiver> first = b->receiver();
        QTRY_VERIFY(log.contains("udp source activated"));
        sender.writeDatagram("$IIXDR,P,1.02000,B,Barometer\r\n", QHostAddress::LocalHost, port);
        QTRY_COMPARE(b->getCurrentPressure(), 1020.0);
        b->startNmea();
        QCOMPARE(b->getCurrentPressure(), NO_PRESSURE);
        b->startNmea();
        QVERIFY(first.isNull() && b->receiver()->thread()->isRunning());
        b->setSetting("SettingUseUdp", 0);
        QPointer<NmeaReceiver> last = b->receiver();
        b->startNmea();
        QVERIFY(!b->receiver() && last.isNull());
    }

    void networkSourcesWaitBehindSerial()
    {
        MessageLog log; // 5 s behind the serial source, scaled to 50 ms: the order is what counts
        start(settingsFrom("SettingSerialPort=/dev/nonexistent;SettingUseSerial=1;SettingUseTcp=1;SettingTcpIpPort=1"));
        QTRY_VERIFY(log.contains("trying to connect to tcp"));
        QVERIFY(log.indexOf("error opening serial port") >= 0);
        QVERIFY(log.indexOf("error opening serial port") < log.indexOf("trying to connect to tcp"));
    }

    // Every second (scaled) the pressure, and the first fix's $ECRMC when asked.
    void relay_data()
    {
        QTest::addColumn<bool>("fix");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("rmc");
        QTest::newRow("no fix") << false << 1 << 0;
        QTest::newRow("fix") << true << 1 << 1;
        QTest::newRow("fix, position off") << true << 0 << 0;
    }
    void relay()
    {
        QFETCH(bool, fix);
        QFETCH(int, position);
        QFETCH(int, rmc);
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost));
        BackEnd *b = start({{"SettingUseUdpOut", 1}, {"updPort", listener.localPort()}, {"sendUdpPos", position}});
        b->setPressure(1001.5, SourceTcp);
        if (fix)
            b->setFix(QPointF(-5.0, 48.0), 4.0, 270.0, SourceTcp);
        QMap<QString, int> seen; // sentence without its time and date: how often, over three ticks
        while (seen.value("$GPXDR,P,1.00150,B,Barometer*35\r\n") < 3 && listener.waitForReadyRead(5000)) {
            QList<QByteArray> fields = listener.receiveDatagram().data().split(',');
            if (fields.first() == "$ECRMC")
                fields[1] = fields[9] = "-", fields[12] = "*";
            ++seen[fields.join(',')];
        }
        QCOMPARE(seen.value("$GPXDR,P,1.00150,B,Barometer*35\r\n"), 3);
        QVERIFY(seen.value("$ECRMC,-,A,4800.000,N,00500.000,W,4.00,270.00,-,,,*") >= rmc * 2);
        QCOMPARE(seen.size(), 1 + rmc);
    }

    // A listener whose accept queue is full keeps the worker blocked in its
    // connection wait, on loopback; the back end must still stop and join it.
    void shutdownDuringConnectionAttempt()
    {
        StalledListener listener;
        QVERIFY2(listener.isStalled(), "a connection to the full listener was answered");
        Clock::setIntervalScale(0.1); // a 500 ms wait
        MessageLog log;
        start({{"SettingUseTcp", 1}, {"SettingTcpIpAddress", "127.0.0.1"}, {"SettingTcpIpPort", listener.port()}});
        QTRY_VERIFY(log.contains("trying to connect to tcp"));
        cleanup();
        QVERIFY(!log.contains("tcp source activated") && log.indexOf("nmea source deleted: 2") >= 0);
        QVERIFY(log.indexOf("backend deleted") > log.indexOf("nmea source deleted: 2"));
    }

    // nmeasim as the USB barometer, named "port description" as the settings
    // screen stores it: pressure in, calibration out and back across threads,
    // one time-out once it is gone.
    void simulatedBarometer()
    {
        QProcess simulator;
        const QString pty = startSimulator(simulator, {"--pty", "--rate", "20"}, "pty: ");
        BackEnd *b = start({{"SettingSerialPort", pty + " nmeasim barometer"}, {"SettingUseSerial", 1}});
        QTRY_VERIFY(b->getCurrentPressure() > 950.0 && b->getCurrentPressure() < 1050.0);
        QSignalSpy values(b, &BackEnd::calibrationValuesReceived);
        QSignalSpy status(b, &BackEnd::calibrationStatus);
        QSignalSpy timeout(b, &BackEnd::operationTimeout);
        b->calibrateBarometer(1.5, 4.0, 1000.0);
        QTRY_COMPARE(status.count(), 1);
        QVERIFY(status.at(0).at(0).toBool());
        b->requestCurrentCalibration();
        QTRY_COMPARE(values.count(), 1);
        QCOMPARE(values.at(0).mid(0, 2), QVariantList({1.5, 4.0}));
        simulator.kill();
        simulator.waitForFinished();
        QTRY_COMPARE(b->getCurrentPressure(), NO_PRESSURE);
        b->requestCurrentCalibration();
        QTRY_COMPARE(timeout.count(), 1);
        QCOMPARE(values.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNmeaReceiver)
#include "tst_nmeareceiver.moc"
