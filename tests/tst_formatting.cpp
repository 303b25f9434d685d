// The text forms of pressures, speeds, courses, positions and time stamps,
// and the unit conversions of the back end.
#include "backend.h"
#include "formatting.h"
#include "settingsstore.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>
#include <ctime>

using namespace TestSupport;

namespace {
// Local time one hour east of Greenwich, with no summer time, before anything
// reads the clock.
const bool s_zoneSet = [] {
    qputenv("TZ", "CET-1");
    tzset();
    return true;
}();

// 2026-12-05 14:05:09 UTC.
const qint64 SampleInstant = 1796479509;

// A catalogue that gives the degree sign and French speed units in the
// context the formatting functions use.
class DegreeCatalogue : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "QObject") != 0)
            return QString();
        if (qstrcmp(source, "deg") == 0)
            return QStringLiteral("\u00b0");
        if (qstrcmp(source, "kts") == 0)
            return QStringLiteral("nds");
        return QString();
    }
};
} // namespace

class TestFormatting : public QObject
{
    Q_OBJECT

    TempWorkDir *m_dir = nullptr;
    BackEnd *m_backend = nullptr;

    void set(const char *key, const QVariant &value)
    {
        if (value.isValid())
            m_backend->setSetting(QLatin1String(key), value);
        else
            m_backend->settings()->remove(QLatin1String(key));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(s_zoneSet);
        m_dir = new TempWorkDir;
        writeSettings(quietSettings());
        m_backend = new BackEnd(nullptr);
    }

    void cleanupTestCase()
    {
        delete m_backend;
        delete m_dir;
    }

    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        for (const char *key : {"unitPre", "precision", "unitSpeed", "locFormat", "timeZone", "timeFormat",
                                "formatMMDD"})
            m_backend->settings()->remove(QLatin1String(key));
    }

    void fixedRoundsTiesAwayFromZero_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("exact binary tie") << 1013.25 << 1 << "1013.3";
        QTest::newRow("exact tie, negative") << -1013.25 << 1 << "-1013.3";
        QTest::newRow("half to whole 0.5") << 0.5 << 0 << "1";
        QTest::newRow("half to whole 2.5") << 2.5 << 0 << "3";
        QTest::newRow("half to whole -2.5") << -2.5 << 0 << "-3";
        // Written as decimals, these are ties; their doubles lie just below.
        QTest::newRow("decimal tie 1.005") << 1.005 << 2 << "1.01";
        QTest::newRow("decimal tie 2.675") << 2.675 << 2 << "2.68";
        QTest::newRow("decimal tie 1013.35") << 1013.35 << 1 << "1013.4";
        QTest::newRow("just below a tie") << std::nextafter(1.005, 0.0) << 2 << "1.00";
        QTest::newRow("just above a tie") << std::nextafter(1.005, 2.0) << 2 << "1.01";
        QTest::newRow("carry into the whole") << 9.995 << 2 << "10.00";
        QTest::newRow("carry into a new digit") << 999.96 << 1 << "1000.0";
        QTest::newRow("below half") << 1013.2499 << 1 << "1013.2";
        QTest::newRow("padding") << 123.0 << 3 << "123.000";
        QTest::newRow("zero") << 0.0 << 2 << "0.00";
        QTest::newRow("tiny") << 1e-7 << 2 << "0.00";
        QTest::newRow("negative to zero has no sign") << -0.04 << 1 << "0.0";
        QTest::newRow("negative zero") << -0.0 << 4 << "0.0000";
        QTest::newRow("no decimals") << 1013.49 << 0 << "1013";
        QTest::newRow("no pressure value") << NO_PRESSURE << 2 << "-2000.00";
        QTest::newRow("large") << 123456789.125 << 2 << "123456789.13";
    }

    void fixedRoundsTiesAwayFromZero()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(Formatting::fixed(value, decimals), text);
    }

    // Away from ties the result is the plain nearest value, as Qt writes it.
    void fixedAgreesWithQtAwayFromTies()
    {
        for (int i = -300000; i <= 300000; i += 7) {
            if (std::abs(i) % 10 == 5)
                continue;
            const double v = i / 1000.0;
            const QString expected = QString::number(v, 'f', 2);
            const QString text = Formatting::fixed(v, 2);
            if (text != expected && !(expected == QLatin1String("-0.00") && text == QLatin1String("0.00")))
                QFAIL(qPrintable(QStringLiteral("%1: %2, not %3").arg(i).arg(text, expected)));
        }
    }

    void fixedNotFinite()
    {
        QCOMPARE(Formatting::fixed(qQNaN(), 2), QString::number(qQNaN(), 'f', 2));
        QCOMPARE(Formatting::fixed(qInf(), 1), QString::number(qInf(), 'f', 1));
    }

    void formatPressure_data()
    {
        QTest::addColumn<QVariant>("unit");
        QTest::addColumn<QVariant>("precision");
        QTest::addColumn<double>("pressure");
        QTest::addColumn<bool>("withUnit");
        QTest::addColumn<QString>("text");
        const QVariant missing;
        QTest::newRow("defaults") << missing << missing << 1013.25 << true << "1013.3 mb";
        QTest::newRow("mb low") << QVariant(0) << QVariant(0) << 1013.25 << true << "1013 mb";
        QTest::newRow("mb normal") << QVariant(0) << QVariant(1) << 1013.25 << true << "1013.3 mb";
        QTest::newRow("mb high") << QVariant(0) << QVariant(2) << 1013.25 << true << "1013.25 mb";
        QTest::newRow("hPa low") << QVariant(1) << QVariant(0) << 1013.5 << true << "1014 hPa";
        QTest::newRow("hPa normal") << QVariant(1) << QVariant(1) << 1013.25 << true << "1013.3 hPa";
        QTest::newRow("hPa high") << QVariant(1) << QVariant(2) << 1013.25 << true << "1013.25 hPa";
        QTest::newRow("kPa low") << QVariant(2) << QVariant(0) << 1013.25 << true << "101 kPa";
        QTest::newRow("kPa normal") << QVariant(2) << QVariant(1) << 1013.25 << true << "101.3 kPa";
        QTest::newRow("kPa high, tie") << QVariant(2) << QVariant(2) << 1013.25 << true << "101.33 kPa";
        QTest::newRow("inHg low") << QVariant(3) << QVariant(0) << 1013.25 << true << "29.9 inHg";
        QTest::newRow("inHg normal") << QVariant(3) << QVariant(1) << 1013.25 << true << "29.92 inHg";
        QTest::newRow("inHg high") << QVariant(3) << QVariant(2) << 1013.25 << true << "29.921 inHg";
        QTest::newRow("inHg no unit") << QVariant(3) << QVariant(1) << 1013.25 << false << "29.92";
        QTest::newRow("mmHg low") << QVariant(4) << QVariant(0) << 1013.25 << true << "760 mmHg";
        QTest::newRow("mmHg normal") << QVariant(4) << QVariant(1) << 1013.25 << true << "760.0 mmHg";
        QTest::newRow("mmHg high") << QVariant(4) << QVariant(2) << 1013.25 << true << "760.00 mmHg";
        QTest::newRow("unknown unit") << QVariant(5) << QVariant(1) << 1013.25 << true << "1013.3";
        QTest::newRow("negative unit") << QVariant(-1) << QVariant(2) << 1013.25 << true << "1013.25";
        QTest::newRow("mb no unit") << QVariant(0) << QVariant(1) << 998.04 << false << "998.0";
        QTest::newRow("stored as text") << QVariant("3") << QVariant("2") << 1013.25 << true << "29.921 inHg";
    }

    void formatPressure()
    {
        QFETCH(QVariant, unit);
        QFETCH(QVariant, precision);
        QFETCH(double, pressure);
        QFETCH(bool, withUnit);
        QFETCH(QString, text);
        set("unitPre", unit);
        set("precision", precision);
        QCOMPARE(Formatting::formatPressure(pressure, withUnit), text);
    }

    // The unit written by another spelling of the key is the same setting.
    void formatPressureFindsKeyInAnyCase()
    {
        m_backend->setSetting(QStringLiteral("UNITPRE"), 4);
        QCOMPARE(Formatting::formatPressure(1013.25, true), QStringLiteral("760.0 mmHg"));
        QCOMPARE(m_backend->getPressureUnit(), QStringLiteral("mmHg"));
    }

    void formatSpeed_data()
    {
        QTest::addColumn<QVariant>("unit");
        QTest::addColumn<double>("metresPerSecond");
        QTest::addColumn<QString>("text");
        QTest::newRow("default knots") << QVariant() << 10.0 << "19.4 kts";
        QTest::newRow("knots") << QVariant(0) << 10.0 << "19.4 kts";
        QTest::newRow("km/h") << QVariant(1) << 10.0 << "36.0 km/h";
        QTest::newRow("mph") << QVariant(2) << 10.0 << "22.4 mph";
        QTest::newRow("knots from knots") << QVariant(0) << 6.5 * 1.852 / 3.6 << "6.5 kts";
        QTest::newRow("still") << QVariant(1) << 0.0 << "0.0 km/h";
        QTest::newRow("unknown unit") << QVariant(3) << 10.0 << "";
        QTest::newRow("negative unit") << QVariant(-1) << 10.0 << "";
    }

    void formatSpeed()
    {
        QFETCH(QVariant, unit);
        QFETCH(double, metresPerSecond);
        QFETCH(QString, text);
        set("unitSpeed", unit);
        QCOMPARE(Formatting::formatSpeed(metresPerSecond), text);
    }

    void formatCourse_data()
    {
        QTest::addColumn<int>("course");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "000";
        QTest::newRow("5") << 5 << "005";
        QTest::newRow("45") << 45 << "045";
        QTest::newRow("245") << 245 << "245";
        QTest::newRow("359") << 359 << "359";
        QTest::newRow("wide") << 1234 << "1234";
    }

    void formatCourse()
    {
        QFETCH(int, course);
        QFETCH(QString, text);
        QCOMPARE(Formatting::formatCourse(course), text);
    }

    void formatCoordinate_data()
    {
        QTest::addColumn<QVariant>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("default minutes") << QVariant() << 45.5125 << " 45deg30.75'";
        QTest::newRow("minutes") << QVariant(1) << 45.5125 << " 45deg30.75'";
        QTest::newRow("minutes, filled") << QVariant(1) << 5.25 << " 05deg15.00'";
        QTest::newRow("minutes, rounded up") << QVariant(1) << 12.0833 << " 12deg05.00'";
        QTest::newRow("minutes, three digits") << QVariant(1) << 123.5 << " 123deg30.00'";
        QTest::newRow("minutes, zero") << QVariant(1) << 0.0 << " 00deg00.00'";
        QTest::newRow("minutes, negative") << QVariant(1) << -45.5125 << "-45deg30.75'";
        QTest::newRow("minutes carry to degrees") << QVariant(1) << 45.99999 << " 46deg00.00'";
        QTest::newRow("seconds") << QVariant(0) << 12.3456 << " 12deg20'44\"";
        QTest::newRow("seconds, whole degree") << QVariant(0) << 1.0 << " 01deg00'00\"";
        QTest::newRow("seconds, zero") << QVariant(0) << 0.0 << " 00deg00'00\"";
        QTest::newRow("seconds cut, not rounded") << QVariant(0) << 179.99999 << " 179deg59'59\"";
        QTest::newRow("seconds, negative") << QVariant(0) << -12.3456 << "-12deg20'44\"";
        QTest::newRow("decimal") << QVariant(2) << 45.5125 << "45.5125deg";
        QTest::newRow("decimal, padded") << QVariant(2) << 12.3 << "12.3000deg";
        QTest::newRow("decimal, negative") << QVariant(2) << -12.3 << "-12.3000deg";
        QTest::newRow("decimal, rounded") << QVariant(2) << 1.00005 << "1.0001deg";
        QTest::newRow("unknown format") << QVariant(7) << 45.5125 << "45.5125deg";
    }

    void formatCoordinate()
    {
        QFETCH(QVariant, format);
        QFETCH(double, value);
        QFETCH(QString, text);
        set("locFormat", format);
        QCOMPARE(Formatting::formatCoordinate(value), text);
    }

    void formatPosition_data()
    {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<QString>("text");
        QTest::newRow("north east") << 12.0833 << 45.5125 << " 45deg30.75'N  12deg05.00'E";
        QTest::newRow("south west") << -12.0833 << -45.5125 << " 45deg30.75'S  12deg05.00'W";
        QTest::newRow("zero is south and west") << 0.0 << 0.0 << " 00deg00.00'S  00deg00.00'W";
        QTest::newRow("180 east") << 180.0 << 1.0 << " 01deg00.00'N  180deg00.00'E";
        QTest::newRow("-180 west") << -180.0 << 1.0 << " 01deg00.00'N  180deg00.00'W";
        QTest::newRow("190 is 170 west") << 190.0 << 1.0 << " 01deg00.00'N  170deg00.00'W";
        QTest::newRow("-190 is 170 east") << -190.0 << 1.0 << " 01deg00.00'N  170deg00.00'E";
        QTest::newRow("370 is 10 east") << 370.0 << 1.0 << " 01deg00.00'N  10deg00.00'E";
        QTest::newRow("-370 is 10 west") << -370.0 << 1.0 << " 01deg00.00'N  10deg00.00'W";
        QTest::newRow("360 is 0 west") << 360.0 << 1.0 << " 01deg00.00'N  00deg00.00'W";
        QTest::newRow("720 is 0 west") << 720.0 << 1.0 << " 01deg00.00'N  00deg00.00'W";
        QTest::newRow("-720 is 0 east") << -720.0 << 1.0 << " 01deg00.00'N  00deg00.00'E";
        QTest::newRow("latitude not folded") << 1.0 << 100.5 << " 100deg30.00'N  01deg00.00'E";
    }

    void formatPosition()
    {
        QFETCH(double, lon);
        QFETCH(double, lat);
        QFETCH(QString, text);
        QCOMPARE(Formatting::formatPosition(lon, lat), text);
    }

    // A wild longitude is folded at once, never by endless subtraction.
    void formatLongitudeOfWildValues()
    {
        for (double v : {1e300, -1e300, qInf(), -qInf(), qQNaN()}) {
            const QString text = Formatting::formatLongitude(v);
            QVERIFY2(text.endsWith(QLatin1Char('E')) || text.endsWith(QLatin1Char('W')), qPrintable(text));
        }
    }

    void formatDateTime_data()
    {
        QTest::addColumn<QVariant>("zone");
        QTest::addColumn<QVariant>("monthFirst");
        QTest::addColumn<QVariant>("clock12");
        QTest::addColumn<qint64>("instant");
        QTest::addColumn<QString>("text");
        const QVariant missing;
        const qint64 t = SampleInstant;
        QTest::newRow("UTC, day first, 24 h") << QVariant(0) << QVariant(0) << QVariant(0) << t
                                              << "14:05:09 (UTC) 05 Dec 2026";
        QTest::newRow("UTC, month first, 24 h") << QVariant(0) << QVariant(1) << QVariant(0) << t
                                                << "14:05:09 (UTC) Dec 05, 2026";
        QTest::newRow("UTC, day first, 12 h") << QVariant(0) << QVariant(0) << QVariant(1) << t
                                              << "2:05:09 pm (UTC) 05 Dec 2026";
        QTest::newRow("UTC, month first, 12 h") << QVariant(0) << QVariant(1) << QVariant(1) << t
                                                << "2:05:09 pm (UTC) Dec 05, 2026";
        QTest::newRow("local, month first, 12 h") << QVariant(1) << QVariant(1) << QVariant(1) << t
                                                  << "3:05:09 pm (UTC+01:00) Dec 05, 2026";
        QTest::newRow("local, day first, 24 h") << QVariant(1) << QVariant(0) << QVariant(0) << t
                                                << "15:05:09 (UTC+01:00) 05 Dec 2026";
        QTest::newRow("defaults are local, day first, 24 h") << missing << missing << missing << t
                                                             << "15:05:09 (UTC+01:00) 05 Dec 2026";
        QTest::newRow("other values: local, day first, 12 h") << QVariant(3) << QVariant(2) << QVariant(5) << t
                                                              << "3:05:09 pm (UTC+01:00) 05 Dec 2026";
        QTest::newRow("morning") << QVariant(0) << QVariant(0) << QVariant(1) << t - 5 * 3600
                                 << "9:05:09 am (UTC) 05 Dec 2026";
        QTest::newRow("after midnight, 12 h") << QVariant(0) << QVariant(0) << QVariant(1) << t - 14 * 3600
                                              << "12:05:09 am (UTC) 05 Dec 2026";
        QTest::newRow("new year in local time") << QVariant(1) << QVariant(0) << QVariant(0)
                                                << qint64(1798761600 - 1800) // 2026-12-31 23:30 UTC
                                                << "00:30:00 (UTC+01:00) 01 Jan 2027";
    }

    void formatDateTime()
    {
        QFETCH(QVariant, zone);
        QFETCH(QVariant, monthFirst);
        QFETCH(QVariant, clock12);
        QFETCH(qint64, instant);
        QFETCH(QString, text);
        set("timeZone", zone);
        set("formatMMDD", monthFirst);
        set("timeFormat", clock12);
        // The same instant, whatever zone it is given in.
        QCOMPARE(Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(instant, Qt::UTC)), text);
        QCOMPARE(Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(instant, Qt::LocalTime)), text);
    }

    void toDisplayTime()
    {
        const QDateTime t = QDateTime::fromSecsSinceEpoch(SampleInstant, Qt::UTC);
        set("timeZone", 0);
        QCOMPARE(Formatting::toDisplayTime(t).timeSpec(), Qt::UTC);
        QCOMPARE(Formatting::toDisplayTime(t).time(), QTime(14, 5, 9));
        set("timeZone", 1);
        QCOMPARE(Formatting::toDisplayTime(t).timeSpec(), Qt::LocalTime);
        QCOMPARE(Formatting::toDisplayTime(t).time(), QTime(15, 5, 9));
        QCOMPARE(Formatting::toDisplayTime(t), t);
    }

    void frenchLocale()
    {
        const QLocale french(QLocale::French, QLocale::France);
        QLocale::setDefault(french);
        set("unitPre", 1);
        set("precision", 2);
        set("unitSpeed", 1);
        set("locFormat", 1);
        QCOMPARE(Formatting::formatSpeed(10.0), QStringLiteral("36,0 km/h"));
        QCOMPARE(Formatting::formatCoordinate(45.5125), QStringLiteral(" 45deg30,75'"));
        QCOMPARE(Formatting::formatCoordinate(5.25), QStringLiteral(" 05deg15,00'"));
        set("locFormat", 2);
        QCOMPARE(Formatting::formatCoordinate(45.5125), QStringLiteral("45,5125deg"));
        QCOMPARE(Formatting::formatCoordinate(-1.005), QStringLiteral("-1,0050deg"));
        set("locFormat", 0);
        QCOMPARE(Formatting::formatCoordinate(12.3456), QStringLiteral(" 12deg20'44\""));
        QCOMPARE(Formatting::formatPressure(1013.25, true), QStringLiteral("1013.25 hPa"));
        m_backend->setPressure(1013.25, SourceSerial);
        QCOMPARE(m_backend->getFormatedPressure(1, 0.0, 1, 0.0), QStringLiteral("1013.25 hPa"));
        QCOMPARE(m_backend->getFormatedPressureMb(1013.25), QStringLiteral("1013.25 mb"));
        m_backend->setPressure(NO_PRESSURE, SourceSerial);

        // The month in the user's language, the rest as in English.
        set("timeZone", 0);
        const QString month = french.monthName(12, QLocale::ShortFormat);
        QCOMPARE(Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(SampleInstant, Qt::UTC)),
                 QStringLiteral("14:05:09 (UTC) 05 %1 2026").arg(month));
        QVERIFY(month != QLatin1String("Dec"));
    }

    void translatedMarkers_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("minutes") << 1 << QStringLiteral(" 45\u00b030.75'N  12\u00b005.00'E");
        QTest::newRow("seconds") << 0 << QStringLiteral(" 45\u00b030'45\"N  12\u00b004'59\"E");
        QTest::newRow("decimal") << 2 << QStringLiteral("45.5125\u00b0N 12.0833\u00b0E");
    }

    void translatedMarkers()
    {
        QFETCH(int, format);
        QFETCH(QString, text);
        DegreeCatalogue catalogue;
        QVERIFY(QCoreApplication::installTranslator(&catalogue));
        set("locFormat", format);
        set("unitSpeed", 0);
        const QString position = Formatting::formatPosition(12.0833, 45.5125);
        const QString speed = Formatting::formatSpeed(10.0);
        QCoreApplication::removeTranslator(&catalogue);
        QCOMPARE(position, text);
        QCOMPARE(speed, QStringLiteral("19.4 nds"));
        // Without the catalogue the marker stays as written.
        QVERIFY(Formatting::formatPosition(12.0833, 45.5125).contains(QLatin1String("deg")));
    }

    void seaLevelFactor()
    {
        QCOMPARE(Formatting::seaLevelFactor(0.0), 1.0);
        QCOMPARE(Formatting::seaLevelFactor(100.0), std::pow(1.0 - 100.0 * 22.55687745833333e-6, 5.2561));
        QCOMPARE(Formatting::fixed(1000.0 / Formatting::seaLevelFactor(100.0), 2), QStringLiteral("1011.94"));
        QVERIFY(Formatting::seaLevelFactor(-50.0) > 1.0);
    }

    void getFormatedPressure_data()
    {
        QTest::addColumn<double>("pressure");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("levelType");
        QTest::addColumn<double>("elevation");
        QTest::addColumn<QString>("text");
        QTest::newRow("mb") << 1013.25 << 0 << 0.0 << 1 << 0.0 << "1013.25 mb";
        QTest::newRow("hPa") << 1013.25 << 1 << 0.0 << 1 << 0.0 << "1013.25 hPa";
        QTest::newRow("kPa, tie") << 1013.25 << 2 << 0.0 << 1 << 0.0 << "101.33 kPa";
        QTest::newRow("inHg") << 1013.25 << 3 << 0.0 << 1 << 0.0 << "29.921 inHg";
        QTest::newRow("mmHg") << 1013.25 << 4 << 0.0 << 1 << 0.0 << "760.00 mmHg";
        QTest::newRow("unknown unit") << 1013.25 << 9 << 0.0 << 1 << 0.0 << "1013.25";
        QTest::newRow("station level ignores elevation") << 1000.0 << 1 << 0.0 << 1 << 100.0 << "1000.00 hPa";
        QTest::newRow("sea level at 0 m") << 1013.25 << 1 << 0.0 << 0 << 0.0 << "1013.25 hPa";
        QTest::newRow("sea level at 100 m") << 1000.0 << 1 << 0.0 << 0 << 100.0 << "1011.94 hPa";
        QTest::newRow("other level type reduces") << 1000.0 << 1 << 0.0 << 2 << 100.0 << "1011.94 hPa";
        QTest::newRow("sea level inHg") << 1000.0 << 3 << 0.0 << 0 << 100.0 << "29.883 inHg";
        QTest::newRow("offset") << 1013.25 << 0 << 0.5 << 1 << 0.0 << "1013.75 mb";
        QTest::newRow("negative offset") << 1013.25 << 1 << -3.25 << 1 << 0.0 << "1010.00 hPa";
        QTest::newRow("no pressure") << NO_PRESSURE << 1 << 0.0 << 1 << 0.0 << "-2000.00 hPa";
    }

    void getFormatedPressure()
    {
        QFETCH(double, pressure);
        QFETCH(int, unit);
        QFETCH(double, offset);
        QFETCH(int, levelType);
        QFETCH(double, elevation);
        QFETCH(QString, text);
        // Neither the stored unit nor the precision changes these texts.
        set("unitPre", 3);
        set("precision", 0);
        m_backend->setPressure(pressure, SourceSerial);
        QCOMPARE(m_backend->getFormatedPressure(unit, offset, levelType, elevation), text);
        m_backend->setPressure(NO_PRESSURE, SourceSerial);
    }

    void getFormatedPressureMb_data()
    {
        QTest::addColumn<double>("pressure");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << 1013.25 << "1013.25 mb";
        QTest::newRow("tie") << 1013.125 << "1013.13 mb";
        QTest::newRow("padded") << 998.0 << "998.00 mb";
        QTest::newRow("no pressure") << NO_PRESSURE << "-2000.00 mb";
    }

    void getFormatedPressureMb()
    {
        QFETCH(double, pressure);
        QFETCH(QString, text);
        set("unitPre", 3); // never converted
        QCOMPARE(m_backend->getFormatedPressureMb(pressure), text);
    }

    void getPressureUnit_data()
    {
        QTest::addColumn<QVariant>("unit");
        QTest::addColumn<QString>("name");
        QTest::newRow("default") << QVariant() << "mb";
        QTest::newRow("0") << QVariant(0) << "mb";
        QTest::newRow("1") << QVariant(1) << "hPa";
        QTest::newRow("2") << QVariant(2) << "kPa";
        QTest::newRow("3") << QVariant(3) << "inHg";
        QTest::newRow("4") << QVariant(4) << "mmHg";
        QTest::newRow("5") << QVariant(5) << "";
        QTest::newRow("-1") << QVariant(-1) << "";
    }

    void getPressureUnit()
    {
        QFETCH(QVariant, unit);
        QFETCH(QString, name);
        set("unitPre", unit);
        QCOMPARE(m_backend->getPressureUnit(), name);
    }

    void conversions_data()
    {
        QTest::addColumn<QVariant>("unit");
        QTest::addColumn<double>("shown");
        QTest::addColumn<double>("hpa");
        QTest::newRow("default mb") << QVariant() << 1013.25 << 1013.25;
        QTest::newRow("mb") << QVariant(0) << 1013.25 << 1013.25;
        QTest::newRow("hPa") << QVariant(1) << 1013.25 << 1013.25;
        QTest::newRow("kPa") << QVariant(2) << 101.325 << 101.325 * 10.0;
        QTest::newRow("inHg") << QVariant(3) << 29.92 << 29.92 / 0.029529983071445;
        QTest::newRow("mmHg") << QVariant(4) << 760.0 << 760.0 / 0.75006157584566;
        QTest::newRow("unknown") << QVariant(8) << 1013.25 << 1013.25;
    }

    void conversions()
    {
        QFETCH(QVariant, unit);
        QFETCH(double, shown);
        QFETCH(double, hpa);
        set("unitPre", unit);
        QCOMPARE(m_backend->convertToHpa(shown), hpa);
        QCOMPARE(m_backend->convertToOther(m_backend->convertToHpa(shown)), shown);
        QCOMPARE(m_backend->convertToHpa(m_backend->convertToOther(1013.25)), 1013.25);
        QCOMPARE(Formatting::hpaToUnit(hpa, unit.isValid() ? unit.toInt() : 0), m_backend->convertToOther(hpa));
    }

    // The settings screen's three steps when the unit changes.
    void unitChangeKeepsTheValue()
    {
        set("unitPre", 3);
        const double hpa = m_backend->convertToHpa(29.92);
        set("unitPre", 4);
        QCOMPARE(Formatting::fixed(m_backend->convertToOther(hpa), 2), QStringLiteral("759.97"));
    }
};

QTEST_GUILESS_MAIN(TestFormatting)
#include "tst_formatting.moc"
