// The 2-second sample cycle end to end: the platform sensor (through a
// registered Qt Sensors back end, so the real QPressureSensor path runs),
// positions, the four texts of dataUpdated, the history rows, the theme
// follow-up and the relay of the sensor's pressure.
#include "backend.h"
#include "datasource.h"
#include "nmeasenderudp.h"
#include "testsupport.h"

#include <QGeoPositionInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QPressureSensor>
#include <QSensorBackend>
#include <QSensorBackendFactory>
#include <QSensorManager>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QUdpSocket>
#include <QtTest>

using namespace TestSupport;

namespace {

// A pressure sensor of our own, registered with Qt Sensors: each start
// delivers one reading, as a real barometric sensor does.
class TestPressureBackend : public QSensorBackend
{
public:
    static double s_pascals;
    static int s_starts;

    explicit TestPressureBackend(QSensor *sensor)
        : QSensorBackend(sensor)
    {
        m_reading = setReading<QPressureReading>(nullptr);
    }

    void start() override
    {
        ++s_starts;
        QTimer::singleShot(0, this, [this]() {
            m_reading->setPressure(s_pascals);
            m_reading->setTimestamp(quint64(Clock::monotonicMs()) * 1000);
            newReadingAvailable();
        });
    }
    void stop() override {}

private:
    QPressureReading *m_reading = nullptr;
};
double TestPressureBackend::s_pascals = 101325.0;
int TestPressureBackend::s_starts = 0;

class TestPressureFactory : public QSensorBackendFactory
{
public:
    QSensorBackend *createBackend(QSensor *sensor) override { return new TestPressureBackend(sensor); }
};
TestPressureFactory s_factory;
const QByteArray BackendId = "quillmere.test.pressure";

int rows(const QString &table)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
    query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    return query.next() ? query.value(0).toInt() : -1;
}

QGeoPositionInfo positionUpdate(double lat, double lon, double accuracy)
{
    QGeoPositionInfo info(QGeoCoordinate(lat, lon), QDateTime::currentDateTimeUtc());
    if (accuracy >= 0)
        info.setAttribute(QGeoPositionInfo::HorizontalAccuracy, accuracy);
    return info;
}

} // namespace

class TestSampleCycle : public QObject
{
    Q_OBJECT

    TempWorkDir *m_dir = nullptr;
    BackEnd *m_backend = nullptr;
    DataSource *m_data = nullptr;

    void start(QVariantMap settings = {}, bool withSensor = false)
    {
        if (withSensor) {
            QSensorManager::registerBackend(QPressureSensor::type, BackendId, &s_factory);
            QSensorManager::setDefaultBackend(QPressureSensor::type, BackendId);
        }
        QVariantMap all = quietSettings();
        all.insert(QStringLiteral("timeZone"), 0);
        for (auto it = settings.constBegin(); it != settings.constEnd(); ++it)
            all.insert(it.key(), it.value());
        writeSettings(all);
        m_backend = new BackEnd(nullptr);
        m_data = new DataSource();
        g_dataSource = m_data;
    }

private slots:
    void init()
    {
        Clock::reset();
        // 05 Dec 2026 14:05:09 UTC
        Clock::setWallClock(QDateTime(QDate(2026, 12, 5), QTime(14, 5, 9), Qt::UTC).toMSecsSinceEpoch());
        TestPressureBackend::s_starts = 0;
        m_dir = new TempWorkDir;
    }

    void cleanup()
    {
        delete m_data;
        g_dataSource = nullptr;
        delete m_backend;
        m_data = nullptr;
        m_backend = nullptr;
        if (QSensorManager::isBackendRegistered(QPressureSensor::type, BackendId))
            QSensorManager::unregisterBackend(QPressureSensor::type, BackendId);
        delete m_dir;
        NmeaSenderUdp::setDestinationProvider({});
        Clock::reset();
    }

    void withoutSensorSaysSo()
    {
        MessageLog log;
        start();
        QVERIFY(log.contains(QStringLiteral("no pressure sensor")));
        QCOMPARE(m_backend->getCurrentPressure(), NO_PRESSURE);
    }

    void sensorReadingBecomesRowAndTexts_data()
    {
        QTest::addColumn<int>("preDisplay");
        QTest::addColumn<QString>("pressureText");
        QTest::newRow("QNH at 100 m") << 0 << "1011.94 hPa";
        QTest::newRow("QFE at 100 m") << 1 << "1000.00 hPa";
    }

    void sensorReadingBecomesRowAndTexts()
    {
        QFETCH(int, preDisplay);
        QFETCH(QString, pressureText);
        TestPressureBackend::s_pascals = 100000.0;
        MessageLog log;
        start({{"elevation", 100.0}, {"preDisplay", preDisplay}, {"unitPre", 1}, {"precision", 2}}, true);
        QVERIFY(!log.contains(QStringLiteral("no pressure sensor")));
        QTRY_COMPARE(m_backend->getCurrentPressure(), 1000.0);
        QCOMPARE(m_backend->getPressureSource(), QStringLiteral("From internal pressure sensor"));

        QSignalSpy updated(m_backend, &BackEnd::dataUpdated);
        m_backend->slot_timerData();
        QCOMPARE(updated.count(), 1);
        const QList<QVariant> args = updated.takeFirst();
        QCOMPARE(args.at(0).toString(), QStringLiteral("14:05:09 (UTC) 05 Dec 2026"));
        QCOMPARE(args.at(1).toString(), QStringLiteral("No Position"));
        QCOMPARE(args.at(2).toString(), QStringLiteral("no"));
        QCOMPARE(args.at(3).toString(), pressureText);

        // The first sample of a run carries the counter 768: every table gets it.
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
        QVERIFY(query.exec(QStringLiteral("SELECT * FROM BAR16D")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toLongLong(), Clock::currentSecsSinceEpoch());
        QCOMPARE(query.value(5).toDouble(), 1000.0); // raw, without offset or reduction
        QCOMPARE(query.value(6).toDouble(), 100.0);
        for (const char *table : {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D", "BARO2D", "BARO4D", "BARO8D"})
            QCOMPARE(rows(QString::fromLatin1(table)), 1);
    }

    void sensorIsReadAgainAfterItsPause()
    {
        Clock::setIntervalScale(0.01);
        start({}, true);
        QTRY_VERIFY(TestPressureBackend::s_starts >= 4);
    }

    void sensorValueIsRelayedAtSeaLevel()
    {
        QUdpSocket receiver;
        QVERIFY(receiver.bind(QHostAddress(QHostAddress::LocalHost), 0));
        NmeaSenderUdp::setDestinationProvider([]() { return QSet<QHostAddress>{QHostAddress::LocalHost}; });
        TestPressureBackend::s_pascals = 100000.0;
        start({{"SettingUseUdpOut", 1}, {"updPort", receiver.localPort()}, {"elevation", 100.0},
               {"offset", 0.5}},
              true);
        QTRY_VERIFY(receiver.hasPendingDatagrams());
        QByteArray datagram(int(receiver.pendingDatagramSize()), '\0');
        receiver.readDatagram(datagram.data(), datagram.size());
        // (1000.00 + 0.5) / factor(100 m) = 1012.44 hPa
        QVERIFY2(datagram.startsWith("$GPXDR,P,1.01245,B,Barometer*"), datagram.constData());
        QVERIFY(datagram.endsWith("\r\n"));
    }

    void noPressureGivesNoneAndNoRow()
    {
        start();
        QSignalSpy none(m_backend, &BackEnd::noPressureAvailable);
        QSignalSpy updated(m_backend, &BackEnd::dataUpdated);
        m_backend->slot_timerData();
        QCOMPARE(none.count(), 1);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(updated.at(0).at(3).toString(), QStringLiteral("NONE"));
        QCOMPARE(rows(QStringLiteral("BARO30M")), 0);
        // Below 600 hPa is no pressure either.
        m_backend->setPressure(599.9, SourceTcp);
        m_backend->slot_timerData();
        QCOMPARE(none.count(), 2);
        QCOMPARE(rows(QStringLiteral("BARO30M")), 0);
    }

    // 768, 0, 2, ..., 768: BAR16D gets the first and the 386th sample,
    // BARO8D also the one at 384.
    void counterRunsOverCycles()
    {
        start();
        for (int i = 0; i < 386; ++i) {
            m_backend->setPressure(1010.0, SourceTcp);
            m_backend->slot_timerData();
            Clock::advance(2000);
        }
        QCOMPARE(rows(QStringLiteral("BAR16D")), 2);
        QCOMPARE(rows(QStringLiteral("BARO8D")), 3);
        QCOMPARE(rows(QStringLiteral("BARO4D")), 5);
        // 2 s a row, the counter value 0 writes nothing: 385 rows in 772 s.
        QCOMPARE(rows(QStringLiteral("BARO30M")), 385);
    }

    void courseAndSpeedText_data()
    {
        QTest::addColumn<double>("cog");
        QTest::addColumn<double>("sog");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0.0 << 0.0 << "no";
        QTest::newRow("drifting") << 0.0 << 0.5 << "COG 000deg T - SOG 0.5 kts";
        QTest::newRow("truncated course") << 359.9 << 6.0 << "COG 359deg T - SOG 6.0 kts";
    }

    void courseAndSpeedText()
    {
        QFETCH(double, cog);
        QFETCH(double, sog);
        QFETCH(QString, text);
        start();
        m_backend->setFix(QPointF(12.0833, 45.5125), sog, cog, SourceSerial);
        QSignalSpy updated(m_backend, &BackEnd::dataUpdated);
        m_backend->slot_timerData();
        QCOMPARE(updated.at(0).at(2).toString(), text);
        QCOMPARE(updated.at(0).at(1).toString(), QStringLiteral(" 45deg30.75'N  12deg05.00'E"));
    }

    void platformPosition()
    {
        start();
        QSignalSpy updated(m_backend, &BackEnd::dataUpdated);
        MessageLog log;

        QGeoPositionInfo good = positionUpdate(45.5125, 12.0833, 10.0);
        good.setAttribute(QGeoPositionInfo::GroundSpeed, 1.0);
        good.setAttribute(QGeoPositionInfo::Direction, 90.0);
        m_backend->slot_internalPositionUpdated(good);
        QCOMPARE(m_backend->currentPosition(), QPointF(12.0833, 45.5125));
        QCOMPARE(m_backend->currentCourseSpeed().first, 90.0);
        QVERIFY(qFuzzyCompare(m_backend->currentCourseSpeed().second, 1.9438444924406046));

        // A serial fix as well: the platform one still wins.
        m_backend->setFix(QPointF(-5.0, 48.0), 4.0, 270.0, SourceSerial);
        QCOMPARE(m_backend->currentPosition(), QPointF(12.0833, 45.5125));

        // Worse than 200 m: the platform fix is withdrawn, serial takes over.
        m_backend->slot_internalPositionUpdated(positionUpdate(45.0, 12.0, 250.0));
        QCOMPARE(m_backend->currentPosition(), QPointF(-5.0, 48.0));
        QCOMPARE(m_backend->currentCourseSpeed(), qMakePair(270.0, 4.0));

        // No accuracy at all: "no fix".
        m_backend->slot_internalPositionUpdated(positionUpdate(45.0, 12.0, -1));
        QVERIFY(log.contains(QStringLiteral("no fix")));

        // Without direction and speed: the course text is "no".
        m_backend->clearAllFix();
        QCOMPARE(m_backend->currentPosition(), QPointF(0, 0));
        m_backend->slot_internalPositionUpdated(positionUpdate(45.5125, 12.0833, 5.0));
        m_backend->slot_timerData();
        QCOMPARE(updated.last().at(2).toString(), QStringLiteral("no"));

        // After clearAllFix a serial fix brings its own course and speed.
        m_backend->clearAllFix();
        m_backend->setFix(QPointF(-5.0, 48.0), 4.0, 270.0, SourceSerial);
        QCOMPARE(m_backend->currentCourseSpeed(), qMakePair(270.0, 4.0));
        m_backend->slot_timerData();
        QCOMPARE(updated.last().at(1).toString(), QStringLiteral(" 48deg00.00'N  05deg00.00'W"));
    }

    void positioningOnlyWhenWanted_data()
    {
        QTest::addColumn<int>("posSource");
        QTest::addColumn<int>("usePos");
        QTest::addColumn<bool>("tried");
        QTest::newRow("platform") << 1 << 1 << true;
        QTest::newRow("NMEA") << 2 << 1 << false;
        QTest::newRow("switched off") << 1 << 0 << false;
    }

    void positioningOnlyWhenWanted()
    {
        QFETCH(int, posSource);
        QFETCH(int, usePos);
        QFETCH(bool, tried);
        MessageLog log;
        start({{"SettingPosSource", posSource}, {"SettingUsePos", usePos}});
        QCOMPARE(log.contains(QStringLiteral("trying to start location services")), tried);
        // Switching it off later stops it without a word.
        log.clear();
        m_backend->setSetting(QStringLiteral("SettingPosSource"), 2);
        m_backend->startLocationServices();
        QVERIFY(!log.contains(QStringLiteral("trying to start location services")));
    }

    void followsSystemTheme()
    {
        start({{"theme", 2}});
        QSignalSpy theme(m_backend, &BackEnd::systemThemeChanged);
        const QPalette original = QGuiApplication::palette();
        QPalette light = original;
        light.setColor(QPalette::WindowText, Qt::black);
        QGuiApplication::setPalette(light);
        m_backend->slot_timerData();
        QCOMPARE(theme.count(), 1); // always reported once at start
        QCOMPARE(theme.last().at(0).toInt(), 0);
        QVERIFY(!m_backend->isSystemDarkMode());

        QPalette dark = original;
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        QGuiApplication::setPalette(dark);
        m_backend->slot_timerData();
        QCOMPARE(theme.count(), 2);
        QCOMPARE(theme.last().at(0).toInt(), 1);
        QVERIFY(m_backend->isSystemDarkMode());
        m_backend->slot_timerData();
        QCOMPARE(theme.count(), 2);

        // The window may ask to hear it again.
        m_backend->setPreviousTheme(-1);
        m_backend->slot_timerData();
        QCOMPARE(theme.count(), 3);

        m_backend->setSetting(QStringLiteral("theme"), 1);
        m_backend->setPreviousTheme(-1);
        m_backend->slot_timerData();
        QCOMPARE(theme.count(), 3);
        QGuiApplication::setPalette(original);
    }
};

QTEST_MAIN(TestSampleCycle)
#include "tst_samplecycle.moc"
