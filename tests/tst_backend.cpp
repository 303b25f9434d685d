// The back end: texts of values and the settings they read, the current pressure among the sources, the sample cycle
// with the platform sensor and positioning, the calibration requests, the settings file, the help pages.
#include "renderer.h"
#include "formatting.h"
#include "nmeareceiver.h"
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

// A pressure sensor registered with Qt Sensors, so that the real QPressureSensor path runs: each start gives one
// reading, 100000 Pa.
struct Sensor : QSensorBackend
{
    Sensor(QSensor *sensor) : QSensorBackend(sensor), reading(setReading<QPressureReading>(nullptr)) {}
    void start() override
    {
        ++starts;
        QTimer::singleShot(0, this, [this] { reading->setPressure(1e5), newReadingAvailable(); });
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
        QUdpSocket listener; // where the relay sends, as updPort=listener
        QVERIFY(listener.bind(QHostAddress("127.0.0.1")));
        QVariantMap map = settingsFrom(cell("settings").replace("listener", QString::number(listener.localPort())));
        if (map.take("locale") == "fr")
            QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QTranslator catalogue;
        if (const QString language = map.take("catalogue").toString(); !language.isEmpty())
            QVERIFY(catalogue.load("Quillmere_" + language, QUILLMERE_BIN_DIR "/translations"));
        QCoreApplication::installTranslator(&catalogue); // an empty one translates nothing
        BackEnd *b = start(map, true);
        MessageLog log;
        QSignalSpy values(b, &BackEnd::calibrationValuesReceived), updated(b, &BackEnd::dataUpdated),
            none(b, &BackEnd::noPressureAvailable);
        QStringList a;
        const auto d = [&a](int i) { return a.value(i).toDouble(); };
        const auto time = [&a](Qt::TimeSpec spec) {
            return Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(a.value(0).toLongLong(), spec));
        };
        const QMap<QString, std::function<QString()>> calls{ // those that answer nothing say "-"
            {"fixed", [&] { return Formatting::fixed(d(0), int(d(1))); }},
            {"pressure", [&] { return Formatting::formatPressure(d(0), a.value(1) == "1"); }},
            {"speed", [&] { return Formatting::formatSpeed(d(0)); }},
            {"course", [&] { return Formatting::formatCourse(int(d(0))); }},
            {"coordinate", [&] { return Formatting::formatCoordinate(d(0)); }},
            {"position", [&] { return Formatting::formatPosition(d(0), d(1)); }},
            // The same instant, whatever zone it is given in.
            {"datetime", [&] { return time(Qt::UTC) == time(Qt::LocalTime) ? time(Qt::UTC) : "zones differ"; }},
            {"formatted", [&] { return b->setPressure(d(0), 1), b->getFormatedPressure(d(1), d(2), d(3), d(4)); }},
            {"formattedMb", [&] { return b->getFormatedPressureMb(d(0)); }},
            {"unit", [&] { return b->getPressureUnit(); }},
            {"toHpa", [&] { return QString::number(b->convertToHpa(d(0)), 'g', 12); }},
            {"toOther", [&] { return QString::number(b->convertToOther(d(0)), 'g', 12); }},
            {"getSetting", [&] { // the default as type:value
                 QVariant v = a.value(1).section(':', 1);
                 v.convert(QMetaType::type(qPrintable(a.value(1).section(':', 0, 0).replace("string", "QString"))));
                 v = b->getSetting(a.value(0), v);
                 return QString(v.typeName()) + ':' + v.toString();
             }},
            {"calibration", [&] {
                 b->slot_calibrationValues(a.value(0));
                 return QVariant(values.value(0)).toStringList().join(' ');
             }},
            {"helpUrl", [&] { return b->getHelpUrl().toLocalFile(); }},
            {"send", [&] { // a command: query, reset, or calibrate (offset 1, slope 2, pressure 1000)
                 a.value(0) == "query" ? b->requestCurrentCalibration()
                                       : a.value(0) == "reset" ? b->resetBarometer() : b->calibrateBarometer(1, 2, 1000);
                 return "-";
             }},
            {"status", [&] { return b->slot_calibrationStatus(a.value(0) == "ok"), "-"; }},
            {"waiting", [&] { return QString::number(b->findChild<QTimer *>("operationTimer")->isActive()); }},
            {"set", [&] { return b->setPressure(d(1), int(d(0))), "-"; }},
            {"advance", [&] { return Clock::advance(qint64(d(0))), "-"; }},
            {"at", [&] { return Clock::setWallClock(qint64(SampleInstant + d(0)) * 1000), "-"; }},
            {"fix", [&] { return b->setFix(QPointF(d(0), d(1)), d(2), d(3), a.size() > 4 ? int(d(4)) : SourceSerial), "-"; }},
            {"current", [&] { return QString::number(b->getCurrentPressure()); }},
            {"platform", [&] { // a position of the platform: lat lon accuracy, at 1 m/s towards 90 degrees
                 QGeoPositionInfo info(QGeoCoordinate(d(0), d(1)), QDateTime::currentDateTimeUtc());
                 info.setAttribute(QGeoPositionInfo::HorizontalAccuracy, d(2));
                 info.setAttribute(QGeoPositionInfo::GroundSpeed, 1.0);
                 info.setAttribute(QGeoPositionInfo::Direction, 90.0);
                 return b->slot_internalPositionUpdated(info), "-";
             }},
            {"where", [&] { // position, course and speed of the first fix
                 return QString("%1 %2 cog %3 sog %4").arg(b->currentPosition().y()).arg(b->currentPosition().x())
                     .arg(b->currentCourseSpeed().first).arg(b->currentCourseSpeed().second);
             }},
            {"sensor", [&] { return b->slot_pressureReading(), "-"; }}, // no sensor here: the relay alone
            {"lines", [&] { return QString::number(log.count(a.value(0))); }}, // of the message log containing a word
            {"relayed", [&] { return escape(listener.waitForReadyRead(2000) ? listener.receiveDatagram().data() : "");
             }},
            {"source", [&] { return b->getPressureSource(); }},
            {"renderer", [&] { return Renderer::isSoftwareRasteriser(a.join(' ').toUtf8()) ? "software" : "OpenGL"; }},
            {"devices", [&] { return Renderer::hasGraphicsDevice(a) ? "graphics" : "none"; }},
            {"origins", [&] { // after a sample: where the values come from, and whether the pressure is greyed
                 b->slot_timerData(), updated.clear(), none.clear();
                 return b->origins() + (b->pressureAged() ? " (grey)" : "");
             }},
            {"tick", [&] { // the texts of dataUpdated, if any, and whether no pressure was signalled
                 b->slot_timerData();
                 QStringList texts = QVariant(updated.isEmpty() ? QVariantList{"no update"} : updated.takeFirst())
                                         .toStringList();
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
            out << calls[call]();
        }
        QCoreApplication::removeTranslator(&catalogue);
        QCOMPARE_ROW(out.filter(QRegularExpression("^(?!-$)")).join(" | "), "outputs");
    }

    // The platform sensor: read again after its pause, recorded raw, relayed at sea level to the default port 5999;
    // the relay's sender released once off.
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
        QVERIFY(listener.waitForReadyRead(5000));
        QVERIFY(listener.receiveDatagram().data().startsWith("$GPXDR,P,1.01194,B,Barometer*"));
        QTRY_VERIFY(Sensor::starts >= 3);
        b->slot_timerData();
        QSqlQuery row("SELECT PRE || ' ' || ELE FROM BAR16D", QSqlDatabase::database("DB_BAROGRAPH"));
        QVERIFY(row.next() && row.value(0) == "1000.0 100.0");
        const auto sockets = [] {
            int n = 0;
            for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System))
                n += fd.symLinkTarget().contains("socket:");
            return n;
        };
        const int before = sockets();
        b->setSetting("SettingUseUdpOut", 0);
        QTRY_COMPARE(sockets(), before - 1);
        cleanup();
        QSensorManager::unregisterBackend(QPressureSensor::type, "quillmere.test");
    }

    void intervalScale_data() { addRows("interval_scale.tsv"); }
    void intervalScale()
    {
        MessageLog log;
        qputenv("QUILLMERE_INTERVAL_SCALE", cell("text").toUtf8());
        Clock::readIntervalScale();
        qunsetenv("QUILLMERE_INTERVAL_SCALE");
        QCOMPARE_ROW(log.lines().filter(QRegularExpression("(?i)interval.scale")).join(" | "), "line");
        QCOMPARE_ROW(QString("%1 %2 %3").arg(Clock::interval(1)).arg(Clock::interval(2000)).arg(Clock::interval(INT_MAX)),
                     "intervals");
        auto *timer = start()->findChild<QTimer *>("sampleTimer", Qt::FindDirectChildrenOnly);
        QCOMPARE_ROW(timer && timer->isActive() ? QString::number(timer->interval()) : "none", "sample timer");
    }

    // A key written in another case is the stored key; the version is written at start; changes reach the file at a
    // sync and at the end, with the window's geometry asked for meanwhile.
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
        QVERIFY(file().contains("version=3.0.0"));
        connect(b, &BackEnd::saveWindowSize, b, [b] { b->setSetting("windowWidth", 800); });
        b->setSetting("theme", 1);
        delete b;
        QVERIFY(file().contains("theme=1") && file().contains("windowWidth=800"));
    }

    // The worker writes per-source values and reads settings while the screens write settings and the sample cycle
    // reads values: each value read is one that was written, and the order of writes holds; the worker's relay sends
    // each position with its own course and speed.
    void twoThreadsAtOnce()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress("127.0.0.1")));
        BackEnd *b = start({{"sendUdpPos", 1}, {"updPort", listener.localPort()}});
        NmeaReceiver relay; // here on this thread
        std::atomic<bool> done{false};
        std::thread worker([b, &done] {
            for (int i = 1; i <= 20000; ++i) {
                b->setSetting(QStringList({"counter", "Counter", "COUNTER"}).at(i % 3), i);
                b->setPressure(1000.0 + i % 10, SourceSerial);
                b->setFix(QPointF(i % 5, 1), i % 5, 10 + i % 5, SourceSerial);
                b->clearFix(SourceTcp);
                if (i % 4000 == 0)
                    b->syncSettings();
            }
            done = true;
        });
        int last = 0;
        bool sound = true;
        while (!done) {
            const int value = b->getSetting("cOuNtEr", 0).toInt();
            const double p = b->getCurrentPressure();
            sound = sound && value >= last && value <= 20000 && (p == NO_PRESSURE || (p >= 1000 && p < 1010));
            last = value;
            for (relay.slot_sendUdp(); listener.hasPendingDatagrams();) { // longitude 00X00.000, SOG X.00, COG 1X.00
                const QList<QByteArray> f = listener.receiveDatagram().data().split(',');
                sound = sound && (f[0] != "$ECRMC" || (f[5][2] == f[7][0] && f[8][1] == f[7][0]));
            }
        }
        worker.join(); // a join ThreadSanitizer can see
        QVERIFY(sound);
        QCOMPARE(b->getSetting("counter", 0), QVariant(20000));
    }
};

QTEST_GUILESS_MAIN(TestBackEnd)
#include "tst_backend.moc"
