// The NMEA worker on its own thread, started by the back end: the sources the settings ask for and when, restarts,
// the relay, shutdown during a blocking connection attempt, and a simulated USB barometer's calibration.
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
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress("127.0.0.1")));
        QVariantMap settings =
            settingsFrom(cell("settings").replace("listener", QString::number(listener.localPort())));
        const bool fix = settings.take("fix").isValid();
        BackEnd *b = start(settings, cell("settings") == "fresh");
        b->setPressure(1001.5, SourceInternal);
        if (fix)
            b->setFix(QPointF(-5.0, 48.0), 4.0, 270.0, SourceInternal);
        QStringList ids;
        bool relay = false;
        if (NmeaReceiver *receiver = b->receiver()) { // read in the worker's thread
            QMetaObject::invokeMethod(receiver, [&] {
                for (NmeaSource *source : receiver->currentSources())
                    ids << QString::number(source->getSourceId());
                relay = receiver->isRelaying();
            }, Qt::BlockingQueuedConnection);
        }
        QMap<QString, int> sent; // over three ticks, each sentence without its time and date
        const QString pressure = "$GPXDR,P,1.00150,B,Barometer*35\\r\\n";
        for (int i = 0; relay && i < 30 && sent.value(pressure) < 3 && listener.waitForReadyRead(5000); ++i) {
            QList<QByteArray> fields = listener.receiveDatagram().data().split(',');
            if (fields.first() == "$ECRMC")
                fields[1] = fields[9] = "-", fields[12] = "*";
            ++sent[escape(fields.join(','))];
        }
        QCOMPARE_ROW(QString::number(b->receiver() != nullptr), "worker");
        QCOMPARE_ROW(ids.join(' '), "sources");
        QCOMPARE_ROW(sent.keys().join(" | "), "relayed");
    }

    // A restart withdraws the old sources' values (NMEA 2000's too), also after 100 000 empty datagrams (the worker
    // still takes the pressure sent after them, and winds down as usual); any number of starts leave one worker; with
    // every source and the output off, none.
    void restarts()
    {
        QUdpSocket sender;
        const quint16 port = freeUdpPort();
        QVERIFY(port);
        MessageLog log;
        BackEnd *b = start({{"SettingUseUdp", 1}, {"SettingUdpPort", port}});
        QPointer<NmeaReceiver> first = b->receiver();
        QTRY_VERIFY(log.contains("udp source activated"));
        for (int i = 0; i < 100000; ++i)
            sender.writeDatagram("", QHostAddress::LocalHost, port);
        QTRY_VERIFY((sender.writeDatagram("$IIXDR,P,1.02000,B,Barometer\r\n", QHostAddress::LocalHost, port),
                     qFuzzyCompare(b->getCurrentPressure(), 1020.0)));
        b->setPressure(1010.0, SourceN2k);
        b->startNmea();
        QCOMPARE(b->getCurrentPressure(), NO_PRESSURE);
        b->startNmea();
        QVERIFY(b->receiver()->thread()->isRunning());
        QTRY_VERIFY(first.isNull()); // the old worker winds down in its own thread
        b->setSetting("SettingUseUdp", 0);
        QPointer<NmeaReceiver> last = b->receiver();
        b->startNmea();
        QVERIFY(!b->receiver());
        QTRY_VERIFY(last.isNull());
    }

    void networkSourcesWaitBehindSerial()
    {
        MessageLog log; // 5 s behind the serial source, scaled to 50 ms: the order is what counts
        start(settingsFrom("SettingSerialPort=/dev/nonexistent;SettingUseSerial=1;SettingUseTcp=1;SettingTcpIpPort=1"));
        QTRY_VERIFY(log.contains("trying to connect to tcp"));
        const int serial = log.indexOf("error opening serial port");
        QVERIFY(serial >= 0 && serial < log.indexOf("trying to connect to tcp"));
    }

    // A listener whose accept queue is full keeps the worker blocked in its connection wait, on loopback; the back
    // end must still stop and join it.
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

    // nmeasim as the USB barometer, named "port description" as the settings screen stores it: pressure in,
    // calibration out and back across threads, one time-out once it is gone.
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
