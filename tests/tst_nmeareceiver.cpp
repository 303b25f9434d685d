// The NMEA worker on its own thread, started by the back end: the sources the settings ask for and when, restarts,
// the relay, TCP addresses and a hanging lookup (nothing blocks the worker), and a simulated USB barometer's calibration.
#include "backendlink.h"
#include "nmeareceiver.h"
#include "nmeasource.h"
#include "testsupport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

using namespace TestSupport;

extern "C" std::atomic<int> quillmere_lookups; // tests/lookupstub.cpp
extern "C" std::atomic<bool> quillmere_hold_lookups;

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
    void cleanupTestCase() { quillmere_hold_lookups = false; } // a lookup hangs until then
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
        const int from = settings.take("from").toInt();
        BackEnd *b = start(settings, cell("settings") == "fresh");
        b->setPressure(1001.5, from);
        if (fix)
            b->setFix(QPointF(-5.0, 48.0), 4.0, 270.0, from);
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

    // A restart withdraws the old sources' values and fixes (NMEA 2000's too): also after 100 000 empty datagrams (the
    // worker still takes the pressure sent after them, and winds down as usual), and a fix that came after the
    // connections screen cleared them. Any number of starts leave one worker; with every source and the output off, none.
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
        const QByteArray feed = "$IIXDR,P,1.02000,B,Barometer\r\n$GPRMC,1,A,4807.0,N,01131.0,E,1,84,230394,,\r\n";
        QTRY_VERIFY((sender.writeDatagram(feed, QHostAddress::LocalHost, port), b->getCurrentPressure() == 1020.0));
        b->clearAllFix();
        QTRY_VERIFY((sender.writeDatagram(feed, QHostAddress::LocalHost, port), b->firstFix().valid));
        b->setSetting("SettingUseUdp", 0);
        b->receiver()->link()->setPressure(1010.0, SourceN2k); // as the worker's NMEA 2000 decoder does
        b->startNmea();
        QVERIFY(!b->receiver() && b->getCurrentPressure() == NO_PRESSURE && !b->firstFix().valid);
        QTRY_VERIFY(first.isNull()); // the old worker winds down in its own thread
        b->setSetting("SettingUseUdp", 1);
        b->startNmea();
        QPointer<NmeaReceiver> second = b->receiver();
        b->startNmea();
        QVERIFY(b->receiver()->thread()->isRunning());
        QTRY_VERIFY(second.isNull());
    }

    // The TCP source's address, the relay on: the worker never waits for the link (it relays meanwhile, also while a
    // lookup hangs), and stops before the back end goes.
    void tcpAddresses_data() { addRows("tcp_addresses.tsv"); }
    void tcpAddresses()
    {
        QUdpSocket relayed;
        QVERIFY(relayed.bind(QHostAddress::LocalHost));
        MessageLog log;
        const int lookups = quillmere_lookups;
        start({{"SettingUseTcp", 1}, {"SettingTcpIpAddress", cell("address")}, {"SettingTcpIpPort", 1},
               {"SettingUseUdpOut", 1}, {"updPort", relayed.localPort()}})->setPressure(1001.5, SourceInternal);
        QTRY_VERIFY(log.contains("invalid TCP address") || log.contains("failed to connect") || quillmere_lookups > lookups);
        QVERIFY(relayed.waitForReadyRead(5000));
        cleanup();
        QVERIFY(!log.contains("leaving it behind") && log.indexOf("backend deleted") > log.indexOf("nmea source deleted: 2"));
        QCOMPARE_ROW(QString::number(log.count("invalid TCP address")), "refused");
        QCOMPARE_ROW(QString::number(quillmere_lookups > lookups), "looked up");
    }

    // nmeasim as the USB barometer, named "port description" as the settings screen stores it: pressure in,
    // calibration out and back across threads, also when asked for as the worker is replaced while it dials a
    // multiplexer that does not answer (held until the new port is open); once the barometer is gone, one time-out
    // for each command, a reset too. The network sources start behind the serial one.
    void simulatedBarometer()
    {
        StalledListener listener;
        QProcess simulator;
        const QString pty = startSimulator(simulator, {"--pty", "--rate", "20"}, "pty: ");
        Clock::setIntervalScale(0.5); // 2.5 s time-outs, the TCP source 2.5 s behind the serial one
        MessageLog log;
        BackEnd *b = start({{"SettingSerialPort", pty + " nmeasim barometer"}, {"SettingUseSerial", 1},
                            {"SettingUseTcp", 1}, {"SettingTcpIpAddress", "127.0.0.1"},
                            {"SettingTcpIpPort", listener.port()}});
        QTRY_VERIFY(b->getCurrentPressure() > 950.0 && b->getCurrentPressure() < 1050.0);
        QSignalSpy values(b, &BackEnd::calibrationValuesReceived), status(b, &BackEnd::calibrationStatus),
            timeout(b, &BackEnd::operationTimeout);
        b->calibrateBarometer(1.5, 4.0, 1000.0);
        QTRY_COMPARE(status.count(), 1);
        QVERIFY(status.at(0).at(0).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("trying to connect to tcp"), 10000);
        QVERIFY(log.indexOf("opened successfully") < log.indexOf("trying to connect to tcp"));
        b->startNmea();
        b->requestCurrentCalibration();
        QTRY_COMPARE_WITH_TIMEOUT(values.count(), 1, 10000);
        QCOMPARE(values.at(0).mid(0, 2), QVariantList({1.5, 4.0}));
        QCOMPARE(timeout.count(), 0);
        simulator.kill();
        simulator.waitForFinished();
        QTRY_COMPARE(b->getCurrentPressure(), NO_PRESSURE);
        b->requestCurrentCalibration();
        QTRY_COMPARE_WITH_TIMEOUT(timeout.count(), 1, 10000);
        b->resetBarometer();
        QTRY_COMPARE_WITH_TIMEOUT(timeout.count(), 2, 10000);
        QCOMPARE(values.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNmeaReceiver)
#include "tst_nmeareceiver.moc"
