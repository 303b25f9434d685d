// The NMEA worker on its own thread, started by the back end: which sources
// the settings ask for and when, restarts, shutdown during a blocking
// connection attempt, and a simulated USB barometer end to end.
#include "backend.h"
#include "clock.h"
#include "nmeareceiver.h"
#include "nmeasenderudp.h"
#include "nmeasource.h"
#include "testsupport.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QThread>
#include <QUdpSocket>
#include <QtTest>

namespace {
const QString Simulator = QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim");

QVariantMap with(QVariantMap settings, const QVariantMap &more)
{
    for (auto it = more.begin(); it != more.end(); ++it)
        settings.insert(it.key(), it.value());
    return settings;
}

// The source ids of the worker's sources, read in the worker thread.
QList<int> sourceIds(NmeaReceiver *receiver)
{
    QList<int> ids;
    QMetaObject::invokeMethod(receiver, [&] {
        for (NmeaSource *source : receiver->currentSources())
            ids << source->getSourceId();
    }, Qt::BlockingQueuedConnection);
    return ids;
}

QString startSimulator(QProcess &process, const QStringList &arguments, const QString &prefix)
{
    process.start(Simulator, arguments);
    if (!process.waitForStarted(5000))
        return QString();
    while (process.waitForReadyRead(5000)) {
        while (process.canReadLine()) {
            const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
    }
    return QString();
}
}

class TestNmeaReceiver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sourcesFromSettings_data();
    void sourcesFromSettings();
    void networkSourcesWaitBehindSerial();
    void twoStartsLeaveOneWorker();
    void restartWithdrawsOldSources();
    void relaysPressureOnly();
    void shutdownDuringConnectionAttempt();
    void simulatedBarometerEndToEnd();

private:
    BackEnd *startBackEnd(const QVariantMap &settings);

    TestSupport::TempWorkDir *m_dir = nullptr;
    BackEnd *m_backEnd = nullptr;
};

void TestNmeaReceiver::initTestCase()
{
    // The relay must never reach the machine's real interfaces.
    NmeaSenderUdp::setDestinationProvider([] { return QSet<QHostAddress>{QHostAddress::LocalHost}; });
}

void TestNmeaReceiver::init()
{
    Clock::setIntervalScale(0.01);
    m_dir = new TestSupport::TempWorkDir;
}

void TestNmeaReceiver::cleanup()
{
    delete m_backEnd;
    m_backEnd = nullptr;
    delete m_dir;
    Clock::setIntervalScale(1.0);
}

BackEnd *TestNmeaReceiver::startBackEnd(const QVariantMap &settings)
{
    TestSupport::writeSettings(with(TestSupport::quietSettings(), settings));
    m_backEnd = new BackEnd(nullptr);
    return m_backEnd;
}

void TestNmeaReceiver::sourcesFromSettings_data()
{
    QTest::addColumn<QVariantMap>("settings");
    QTest::addColumn<bool>("worker");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<bool>("relay");
    const QVariantMap serial{{"SettingSerialPort", "/dev/nonexistent-baro USB barometer"}, {"SettingUseSerial", 1}};
    QTest::newRow("nothing") << QVariantMap() << false << QList<int>() << false;
    QTest::newRow("serial") << serial << true << QList<int>{1} << false;
    QTest::newRow("port None, serial on")
        << QVariantMap{{"SettingUseSerial", 1}, {"SettingUseTcp", 1}, {"SettingTcpIpPort", 1}} << true
        << QList<int>{2} << false;
    QTest::newRow("tcp") << QVariantMap{{"SettingUseTcp", 1}, {"SettingTcpIpPort", 1}} << true << QList<int>{2}
                         << false;
    QTest::newRow("switch 2 disables") << QVariantMap{{"SettingUseTcp", 2}, {"SettingTcpIpPort", 1}} << true
                                       << QList<int>() << false;
    QTest::newRow("all three")
        << with(serial, {{"SettingUseTcp", 1}, {"SettingTcpIpPort", 1}, {"SettingUseUdp", 1}, {"SettingUdpPort", 0}})
        << true << QList<int>{1, 2, 3} << false;
    QTest::newRow("output only") << QVariantMap{{"SettingUseUdpOut", 1}} << true << QList<int>() << true;
}

void TestNmeaReceiver::sourcesFromSettings()
{
    QFETCH(QVariantMap, settings);
    QFETCH(bool, worker);
    QFETCH(QList<int>, ids);
    QFETCH(bool, relay);
    startBackEnd(settings);
    QCOMPARE(m_backEnd->receiver() != nullptr, worker);
    if (!worker)
        return;
    QTRY_COMPARE(sourceIds(m_backEnd->receiver()), ids);
    bool relaying = false;
    QMetaObject::invokeMethod(m_backEnd->receiver(), [&] { relaying = m_backEnd->receiver()->isRelaying(); },
                              Qt::BlockingQueuedConnection);
    QCOMPARE(relaying, relay);
}

void TestNmeaReceiver::networkSourcesWaitBehindSerial()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    TestSupport::MessageLog log;
    // Unscaled start offset would be 5 s; here 50 ms, so the order is what is checked.
    startBackEnd({{"SettingSerialPort", "/dev/nonexistent-baro"}, {"SettingUseSerial", 1}, {"SettingUseTcp", 1},
                  {"SettingTcpIpAddress", "127.0.0.1"}, {"SettingTcpIpPort", server.serverPort()}});
    QTRY_VERIFY(log.contains(QStringLiteral("tcp source activated")));
    const QStringList lines = log.lines();
    int serialAt = -1;
    int tcpAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (serialAt < 0 && lines.at(i).contains(QLatin1String("error opening serial port")))
            serialAt = i;
        if (tcpAt < 0 && lines.at(i).contains(QLatin1String("trying to connect to tcp")))
            tcpAt = i;
    }
    QVERIFY(serialAt >= 0);
    QVERIFY(tcpAt > serialAt);
}

void TestNmeaReceiver::twoStartsLeaveOneWorker()
{
    startBackEnd({{"SettingUseUdpOut", 1}});
    QPointer<NmeaReceiver> first = m_backEnd->receiver();
    m_backEnd->startNmea();
    m_backEnd->startNmea();
    QVERIFY(m_backEnd->receiver());
    QVERIFY(m_backEnd->receiver() != first);
    QTRY_VERIFY(first.isNull());
    QVERIFY(m_backEnd->receiver()->thread()->isRunning());
}

void TestNmeaReceiver::restartWithdrawsOldSources()
{
    QUdpSocket sender;
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    const quint16 port = probe.localPort();
    probe.close();
    TestSupport::MessageLog log;
    startBackEnd({{"SettingUseUdp", 1}, {"SettingUdpPort", port}});
    QTRY_VERIFY(sourceIds(m_backEnd->receiver()) == QList<int>{3});
    QTRY_VERIFY(log.contains(QStringLiteral("udp source activated")));
    sender.writeDatagram("$IIXDR,P,1.02000,B,Barometer\r\n", QHostAddress::LocalHost, port);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(1020.0)));
    m_backEnd->startNmea();
    QCOMPARE(m_backEnd->getCurrentPressure(), NO_PRESSURE);
    QTRY_VERIFY(log.contains(QStringLiteral("nmea source deleted: 3")));
}

void TestNmeaReceiver::relaysPressureOnly()
{
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
    startBackEnd({{"SettingUseUdpOut", 1}, {"updPort", listener.localPort()}, {"sendUdpPos", 1}});
    m_backEnd->setPressure(1001.5, SourceTcp);
    QTRY_VERIFY(listener.hasPendingDatagrams());
    QTest::qWait(60);
    while (listener.hasPendingDatagrams()) {
        const QByteArray datagram = listener.receiveDatagram().data();
        // No fix anywhere: pressure only.
        QVERIFY2(datagram.startsWith("$GPXDR,P,1.0015"), datagram.constData());
    }
}

void TestNmeaReceiver::shutdownDuringConnectionAttempt()
{
    // A listener whose accept queue is full keeps the worker blocked in its
    // connection wait, on loopback; the back end must still stop and join it.
    TestSupport::StalledListener listener;
    QVERIFY2(listener.isStalled(), "a connection to the full listener was answered");
    Clock::setIntervalScale(0.1); // a 500 ms wait
    TestSupport::MessageLog log;
    startBackEnd({{"SettingUseTcp", 1}, {"SettingTcpIpAddress", "127.0.0.1"}, {"SettingTcpIpPort", listener.port()}});
    QTRY_VERIFY(log.contains(QStringLiteral("trying to connect to tcp")));
    delete m_backEnd;
    m_backEnd = nullptr;
    // The source was stopped and destroyed in its thread before the back end went.
    const QStringList lines = log.lines();
    const int sourceGone = lines.indexOf(QRegularExpression(QStringLiteral(".*nmea source deleted: 2.*")));
    const int backEndGone = lines.indexOf(QRegularExpression(QStringLiteral(".*backend deleted.*")));
    QVERIFY(!log.contains(QStringLiteral("tcp source activated")));
    QVERIFY(sourceGone >= 0);
    QVERIFY(backEndGone > sourceGone);
}

void TestNmeaReceiver::simulatedBarometerEndToEnd()
{
    QProcess simulator;
    const QString pty = startSimulator(simulator, {QStringLiteral("--pty"), QStringLiteral("--rate"), QStringLiteral("20")},
                                       QStringLiteral("pty: "));
    QVERIFY2(!pty.isEmpty(), "nmeasim printed no pseudo-terminal");
    startBackEnd({{"SettingSerialPort", pty + QStringLiteral(" nmeasim barometer")}, {"SettingUseSerial", 1}});
    QTRY_VERIFY(m_backEnd->getCurrentPressure() > 950.0);
    QVERIFY(m_backEnd->getCurrentPressure() < 1050.0);

    QSignalSpy values(m_backEnd, &BackEnd::calibrationValuesReceived);
    QSignalSpy status(m_backEnd, &BackEnd::calibrationStatus);
    QSignalSpy timeout(m_backEnd, &BackEnd::operationTimeout);
    m_backEnd->calibrateBarometer(1.5, 4.0, 1000.0);
    QTRY_COMPARE(status.count(), 1);
    QVERIFY(status.at(0).at(0).toBool());
    m_backEnd->requestCurrentCalibration();
    QTRY_COMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toDouble(), 1.5);
    QCOMPARE(values.at(0).at(1).toDouble(), 4.0);

    simulator.kill();
    simulator.waitForFinished();
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getCurrentPressure(), double(NO_PRESSURE)));
    m_backEnd->requestCurrentCalibration();
    QTRY_COMPARE(timeout.count(), 1);
    QTest::qWait(200);
    QCOMPARE(timeout.count(), 1);
}

QTEST_GUILESS_MAIN(TestNmeaReceiver)
#include "tst_nmeareceiver.moc"
