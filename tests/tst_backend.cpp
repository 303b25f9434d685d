// The back end: the texts of values and the settings they read, the current
// pressure among the sources, the sample cycle with the platform sensor and
// positioning, the calibration requests, the settings file, the help pages.
#include "formatting.h"
#include "settingsstore.h"
#include "testsupport.h"

#include <QGeoPositionInfo>
#include <QNetworkDatagram>
#include <QPressureSensor>
#include <QSensorBackend>
#include <QSensorManager>
#include <QUdpSocket>

#include <thread>

using namespace TestSupport;

namespace {
const bool s_zoneSet = (qputenv("TZ", "CET-1"), tzset(), true); // an hour east of Greenwich, no summer time
const qint64 SampleInstant = 1796479509; // 2026-12-05 14:05:09 UTC

// A pressure sensor registered with Qt Sensors, so that the real
// QPressureSensor path runs: each start gives one reading, 1000 hPa.
struct Sensor : QSensorBackend
{
    Sensor(QSensor *sensor) : QSensorBackend(sensor), reading(setReading<QPressureReading>(nullptr)) {}
    void start() override
    {
        ++starts;
        QTimer::singleShot(0, this, [this] { reading->setPressure(100000.0), newReadingAvailable(); });
    }
    void stop() override {}
    QPressureReading *reading;
    static int starts;
};
int Sensor::starts = 0;
struct SensorFactory : QSensorBackendFactory
{
    QSensorBackend *createBackend(QSensor *sensor) override { return new Sensor(sensor); }
};

int openSockets()
{
    int n = 0;
    for (QDirIterator it("/proc/self/fd"); it.hasNext();)
        n += QFile::symLinkTarget(it.next()).contains("socket:");
    return n;
}

QString received(QUdpSocket &socket)
{
    return socket.waitForReadyRead(5000) ? QString::fromLatin1(socket.receiveDatagram().data()) : QString();
}
} // namespace

class TestBackEnd : public QObject
{
    Q_OBJECT

    BackEndFixture *m_fixture = nullptr;
    BackEnd *start(const QVariantMap &settings = {}, bool history = false)
    {
        m_fixture = new BackEndFixture(settings, history, SampleInstant);
        return m_fixture->backend();
    }

private slots:
    void initTestCase() { QVERIFY(s_zoneSet); }
    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void steps_data() { addRows("backend.tsv"); }
    void steps()
    {
        QVariantMap map = settingsFrom(cell("settings"));
        if (map.take("locale") == "fr")
            QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QTranslator catalogue;
        if (map.take("catalogue").isValid())
            QVERIFY(catalogue.load(QUILLMERE_BIN_DIR "/translations/Quillmere_en_US.qm") && qApp->installTranslator(&catalogue));
        BackEnd *b = start(map, true);
        QSignalSpy values(b, &BackEnd::calibrationValuesReceived), updated(b, &BackEnd::dataUpdated),
            none(b, &BackEnd::noPressureAvailable);
        QStringList a;
        const auto d = [&a](int i) { return a.value(i).toDouble(); };
        const auto time = [&a](Qt::TimeSpec spec) {
            return Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(a.value(0).toLongLong(), spec));
        };
        const QMap<QString, std::function<QString()>> calls{
            {"fixed", [&] { return Formatting::fixed(d(0), a.value(1).toInt()); }},
            {"pressure", [&] { return Formatting::formatPressure(d(0), a.value(1) == "1"); }},
            {"speed", [&] { return Formatting::formatSpeed(d(0)); }},
            {"course", [&] { return Formatting::formatCourse(a.value(0).toInt()); }},
            {"coordinate", [&] { return Formatting::formatCoordinate(d(0)); }},
            {"position", [&] { return Formatting::formatPosition(d(0), d(1)); }},
            // The same instant, whatever zone it is given in.
            {"datetime", [&] { return time(Qt::UTC) + (time(Qt::UTC) == time(Qt::LocalTime) ? "" : " / " + time(Qt::LocalTime)); }},
            {"formatted", [&] { return b->setPressure(d(0), SourceSerial), b->getFormatedPressure(int(d(1)), d(2), int(d(3)), d(4)); }},
            {"formattedMb", [&] { return b->getFormatedPressureMb(d(0)); }},
            {"unit", [&] { return b->getPressureUnit(); }},
            {"toHpa", [&] { return QString::number(b->convertToHpa(d(0)), 'g', 12); }},
            {"toOther", [&] { return QString::number(b->convertToOther(d(0)), 'g', 12); }},
            {"getSetting", [&] { // the default as type:value
                 QVariant v = a.value(1).section(':', 1);
                 v.convert(QMetaType::type(qPrintable(a.value(1).section(':', 0, 0).replace("string", "QString"))));
                 v = b->getSetting(a.value(0), v);
                 return v.typeName() + (':' + v.toString());
             }},
            {"calibration", [&] { return b->slot_calibrationValues(a.value(0)), QVariant(values.value(0)).toStringList().join(' '); }},
            {"helpUrl", [&] { return b->getHelpUrl().toLocalFile(); }},
            {"set", [&] { return b->setPressure(d(1), int(d(0))), QString(); }},
            {"advance", [&] { return Clock::advance(qint64(d(0))), QString(); }},
            {"at", [&] { return Clock::setWallClock(qint64(SampleInstant + d(0)) * 1000), QString(); }},
            {"fix", [&] { return b->setFix(QPointF(d(0), d(1)), d(2), d(3), SourceSerial), QString(); }},
            {"current", [&] { return QString::number(b->getCurrentPressure()); }},
            {"source", [&] { return b->getPressureSource(); }},
            {"tick", [&] { // the texts of dataUpdated, if any, and whether no pressure was signalled
                 b->slot_timerData();
                 QStringList texts = QVariant(updated.isEmpty() ? QVariantList{"no update"} : updated.takeFirst()).toStringList();
                 if (!none.isEmpty())
                     texts << "noPressureAvailable", none.clear();
                 return texts.join(" | ");
             }},
            {"times", [&] {
                 QStringList times;
                 for (qint64 t : historyTimes(a.value(0)))
                     times << QString::number(t - SampleInstant);
                 return times.join(',');
             }}};
        QStringList out;
        for (const QString &step : cell("steps").split("; ")) {
            a = step.split(' ');
            const QString call = a.takeFirst();
            QVERIFY2(calls.contains(call), qPrintable(call));
            const QString result = calls[call]();
            if (!QStringList({"set", "advance", "at", "fix"}).contains(call))
                out << result;
        }
        qApp->removeTranslator(&catalogue);
        QCOMPARE_ROW(out.join(" | "), "outputs");
    }

    // The platform sensor: read again after its pause, recorded raw, relayed
    // at sea level to the default port 5999, the relay's sender released once
    // the output is switched off.
    void platformSensor()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost, 5999, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        SensorFactory factory;
        QSensorManager::registerBackend(QPressureSensor::type, "quillmere.test", &factory);
        QSensorManager::setDefaultBackend(QPressureSensor::type, "quillmere.test");
        Clock::setIntervalScale(0.01);
        Sensor::starts = 0;
        BackEnd *b = start({{"SettingUseUdpOut", 1}, {"elevation", 100}}, true);
        QTRY_COMPARE(b->getCurrentPressure(), 1000.0);
        QVERIFY(received(listener).startsWith("$GPXDR,P,1.01194,B,Barometer*"));
        QTRY_VERIFY(Sensor::starts >= 3);
        b->slot_timerData();
        QSqlQuery row(QSqlDatabase::database("DB_BAROGRAPH"));
        QVERIFY(row.exec("SELECT PRE, ELE FROM BAR16D") && row.next());
        QCOMPARE(row.value(0).toDouble() + row.value(1).toDouble(), 1100.0);
        const int sockets = openSockets();
        b->setSetting("SettingUseUdpOut", 0);
        QTRY_COMPARE(openSockets(), sockets - 1);
        delete m_fixture;
        m_fixture = nullptr;
        QSensorManager::unregisterBackend(QPressureSensor::type, "quillmere.test");
    }

    // Platform fixes: accuracy over 200 m withdraws them, the platform wins
    // over NMEA, speed in knots; relayed as $ECRMC when asked.
    void platformPosition()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost));
        BackEnd *b = start({{"SettingUseUdpOut", 1}, {"sendUdpPos", 1}, {"updPort", listener.localPort()}});
        const auto update = [b](double lat, double lon, double accuracy) {
            QGeoPositionInfo info(QGeoCoordinate(lat, lon), QDateTime::currentDateTimeUtc());
            info.setAttribute(QGeoPositionInfo::HorizontalAccuracy, accuracy);
            info.setAttribute(QGeoPositionInfo::GroundSpeed, 1.0);
            info.setAttribute(QGeoPositionInfo::Direction, 90.0);
            b->slot_internalPositionUpdated(info);
        };
        b->setFix(QPointF(-5.0, 48.0), 4.0, 270.0, SourceSerial);
        update(45.5125, 12.0833, 10.0);
        QCOMPARE(b->currentPosition(), QPointF(12.0833, 45.5125));
        QCOMPARE(b->currentCourseSpeed(), qMakePair(90.0, 1.9438444924406046));
        QVERIFY(received(listener).startsWith("$ECRMC,140509.00,A,4530.750,N,01204.998,E,1.94,90.00,051226,,,*"));
        update(45.0, 12.0, 250.0);
        QCOMPARE(b->currentCourseSpeed(), qMakePair(270.0, 4.0));
        b->clearAllFix();
        QCOMPARE(b->currentPosition(), QPointF(0, 0));
    }

    // The 5 s wait of a query (scaled to 500 ms): one time-out, restarted by a
    // second query, stopped by a reply; a reply after it still counts.
    void calibrationTimeOut()
    {
        Clock::setIntervalScale(0.1);
        BackEnd *b = start();
        QSignalSpy timeout(b, &BackEnd::operationTimeout);
        QSignalSpy values(b, &BackEnd::calibrationValuesReceived);
        b->calibrateBarometer(1.0, 2.0, 1000.0);
        b->resetBarometer();
        b->requestCurrentCalibration();
        QTest::qWait(350);
        b->requestCurrentCalibration();
        QTest::qWait(350); // past the first query's time-out
        QCOMPARE(timeout.count(), 0);
        QTRY_COMPARE(timeout.count(), 1);
        b->slot_calibrationValues("$PWEGB,CAL,0,0,1000,1000*00");
        b->requestCurrentCalibration();
        b->slot_calibrationValues("$PWEGB,CAL,0,0,1000,1000*00");
        QTest::qWait(700);
        QCOMPARE(timeout.count(), 1);
        QCOMPARE(values.count(), 2);
    }

    // A key written under another spelling is the one stored key; changes
    // reach the file at a sync and at destruction, with the window's geometry
    // asked for meanwhile; a garbage file gives the defaults.
    void settingsFile()
    {
        TempWorkDir dir;
        writeSettings(settingsFrom("UnitPre=3;SettingSerialPort=None;SettingUsePos=0"));
        const auto file = [] { // not through QSettings, which shares the store's unsaved values
            QFile ini("barograph.ini");
            return ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
        };
        auto *b = new BackEnd(nullptr);
        b->setSetting("unitPRE", 4);
        QCOMPARE(Formatting::formatPressure(1013.25, true), QString("760.0 mmHg"));
        QVERIFY(!file().contains("UnitPre=4"));
        b->syncSettings();
        QVERIFY(file().contains("UnitPre=4") && file().count("unitpre=", Qt::CaseInsensitive) == 1);
        connect(b, &BackEnd::saveWindowSize, b, [b] { b->setSetting("windowWidth", 800); });
        b->setSetting("theme", 1);
        delete b;
        QVERIFY(file().contains("theme=1") && file().contains("windowWidth=800"));
        QFile garbage("barograph.ini");
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("\x01\xff garbage\n[[[\n=====\n[General\n\"x\n") > 0);
        garbage.close();
        BackEnd defaults;
        QCOMPARE(defaults.getSetting("elevation", 0), QVariant(0.0));
        QCOMPARE(Formatting::formatPressure(1013.25, true), QString("1013.3 mb"));
        defaults.syncSettings();
        QVERIFY(file().contains("version=3.0.0"));
    }

    // The worker writes per-source values and reads settings while the
    // screens write settings and the sample cycle reads values: each value
    // read is one that was written, and the order of writes holds.
    void twoThreadsAtOnce()
    {
        BackEnd *b = start();
        std::atomic<bool> done{false};
        std::thread worker([b, &done] {
            const char *spellings[] = {"counter", "Counter", "COUNTER"};
            for (int i = 1; i <= 3000; ++i) {
                b->setSetting(spellings[i % 3], i);
                b->setPressure(1000.0 + i % 10, SourceSerial);
                b->setFix(QPointF(i % 5, 1), 2, 3, SourceSerial);
                b->clearFix(SourceTcp);
                if (i % 500 == 0)
                    b->syncSettings();
            }
            done = true;
        });
        int last = 0;
        bool sound = true;
        while (!done) {
            const int value = b->getSetting("cOuNtEr", 0).toInt();
            const double p = b->getCurrentPressure();
            const double cog = b->currentCourseSpeed().first;
            sound = sound && value >= last && value <= 3000 && (p == NO_PRESSURE || (p >= 1000 && p < 1010)) && cog != 2;
            last = value;
        }
        worker.join(); // a join ThreadSanitizer can see
        QVERIFY(sound);
        QCOMPARE(b->getSetting("counter", 0), QVariant(3000));
    }

    // The help and privacy pages as rich text: sizes one step up, images
    // found in the resources, the privacy page in the user's language.
    void helpPages()
    {
        for (const QString folder : {"English", "French"}) {
            BackEnd *b = start({{"language", int(folder == "French")}});
            const QString html = b->getHelpHtml() + b->getPrivacyPolicy();
            QVERIFY(html.contains(" large;") && !html.contains(" small;") && html.contains("src=\"/Help/" + folder));
            int images = 0;
            for (auto it = QRegularExpression("&nbsp;<img [^>]*src=\"([^\"]*)\"").globalMatch(html); it.hasNext(); ++images)
                QVERIFY(QFile::exists(':' + it.next().captured(1)));
            QVERIFY(images >= 2 && images == html.count("<img "));
            cleanup();
        }
    }
};

QTEST_GUILESS_MAIN(TestBackEnd)
#include "tst_backend.moc"
