#include "formatting.h"

#include "backend.h"
#include "clock.h"
#include "settingsstore.h"

#include <QLocale>
#include <QObject>

#include <cmath>
#include <ctime>

namespace Formatting {

namespace {

// The display units: a value in the unit is hPa × perHpa / hpaPer, so that
// each conversion is the one multiplication or division of its factor.
struct Unit
{
    const char *name;
    double perHpa;
    double hpaPer;
    int extraDecimals;
};

constexpr Unit Units[] = {
    {"mb", 1.0, 1.0, 0},
    {"hPa", 1.0, 1.0, 0},
    {"kPa", 1.0, 10.0, 0},
    {"inHg", 0.029529983071445, 1.0, 1},
    {"mmHg", 0.75006157584566, 1.0, 0},
};
constexpr int UnitCount = int(sizeof(Units) / sizeof(Units[0]));

const Unit *unitAt(int unit)
{
    return unit >= 0 && unit < UnitCount ? &Units[unit] : nullptr;
}

int setting(const char *key, int defaultValue)
{
    return g_backEnd->settings()->value(QLatin1String(key), defaultValue).toInt();
}

// A whole number written with at least two digits, "0" filled.
QString twoDigits(double whole)
{
    return fixed(whole, 0).rightJustified(2, QLatin1Char('0'));
}

QString coordinateDms(double a, const QString &sign)
{
    // Whole seconds, cut (never rounded) so that 59.9" never shows as 60".
    const double total = std::trunc(a * 3600.0);
    const double degrees = std::trunc(total / 3600.0);
    const double minutes = std::fmod(std::trunc(total / 60.0), 60.0);
    const double seconds = std::fmod(total, 60.0);
    return QStringLiteral("%1%2deg%3'%4\"")
        .arg(sign, twoDigits(degrees), twoDigits(minutes), twoDigits(seconds));
}

QString coordinateDegreesMinutes(double a, const QString &sign)
{
    double degrees = std::trunc(a);
    double minutes = fixed((a - degrees) * 60.0, 2).toDouble();
    // 45.99999 is 46deg00.00', not 45deg60.00'.
    if (minutes >= 60.0) {
        degrees += 1.0;
        minutes = 0.0;
    }
    return QStringLiteral("%1%2deg%3'")
        .arg(sign, twoDigits(degrees), fixedLocalized(minutes, 2).rightJustified(5, QLatin1Char('0')));
}

// The computer's offset from UTC at an instant, in seconds. The C library
// reads the zone again only when asked to; asking at most once a second shows
// a zone changed on the computer within a second, without reading the zone
// file again for each of the 1800 time stamps of a record list or an export.
int localOffset(qint64 secs)
{
    static qint64 zoneRead = 0;
    static bool zoneKnown = false;
    const qint64 now = Clock::monotonicMs();
    if (!zoneKnown || now - zoneRead >= 1000 || now < zoneRead) {
        tzset();
        zoneRead = now;
        zoneKnown = true;
    }
    const time_t instant = time_t(secs);
    std::tm local = {};
    return localtime_r(&instant, &local) ? int(local.tm_gmtoff) : 0;
}

} // namespace

double hpaToUnit(double hpa, int unit)
{
    const Unit *u = unitAt(unit);
    return u ? hpa * u->perHpa / u->hpaPer : hpa;
}

double unitToHpa(double value, int unit)
{
    const Unit *u = unitAt(unit);
    return u ? value * u->hpaPer / u->perHpa : value;
}

QString unitName(int unit)
{
    const Unit *u = unitAt(unit);
    return u ? QString::fromLatin1(u->name) : QString();
}

QString unitSuffix(int unit)
{
    const Unit *u = unitAt(unit);
    return u ? QLatin1Char(' ') + QString::fromLatin1(u->name) : QString();
}

int extraDecimals(int unit)
{
    const Unit *u = unitAt(unit);
    return u ? u->extraDecimals : 0;
}

QString fixed(double value, int decimals)
{
    return QStringLiteral("%1").arg(value, 0, 'f', qMax(0, decimals));
}

QString fixedLocalized(double value, int decimals)
{
    return QStringLiteral("%L1").arg(value, 0, 'f', qMax(0, decimals));
}

double seaLevelFactor(double elevation)
{
    return std::pow(1.0 - elevation * 22.55687745833333 / 1000000.0, 5.2561);
}

QString formatPressure(double pressure, bool withUnit)
{
    const int unit = setting("unitPre", 0);
    const int decimals = setting("precision", 1) + extraDecimals(unit);
    return fixed(hpaToUnit(pressure, unit), decimals) + (withUnit ? unitSuffix(unit) : QString());
}

QString formatChange(double hpa, bool forScreen)
{
    const int unit = setting("unitPre", 0);
    const int decimals = unit == UnitKpa || unit == UnitInHg ? 2 : 1;
    const double tenths = std::round(hpa * 10.0) / 10.0;
    if (!forScreen)
        return fixed(hpaToUnit(tenths, unit), decimals);
    const QString sign = tenths > 0.0 ? QStringLiteral("+") : tenths < 0.0 ? QString(QChar(0x2212)) : QString();
    return sign + fixedLocalized(hpaToUnit(std::fabs(tenths), unit), decimals) + unitSuffix(unit);
}

QString formatSpeed(double metresPerSecond)
{
    double speed = 0.0;
    QString unit;
    switch (setting("unitSpeed", 0)) {
    case 0:
        speed = metresPerSecond * 3.6 / 1.852;
        unit = QObject::tr("kts");
        break;
    case 1:
        speed = metresPerSecond * 3.6;
        unit = QObject::tr("km/h");
        break;
    case 2:
        speed = metresPerSecond * 2.23694;
        unit = QObject::tr("mph");
        break;
    default:
        return QString();
    }
    return fixedLocalized(speed, 1) + QLatin1Char(' ') + unit;
}

QString formatCourse(int course)
{
    return QStringLiteral("%1").arg(course, 3, 10, QLatin1Char('0'));
}

QString formatCoordinate(double v)
{
    if (!std::isfinite(v))
        return fixed(v, 4);
    const double a = std::fabs(v);
    const QString sign = v < 0.0 ? QStringLiteral("-") : QStringLiteral(" ");
    QString text;
    switch (setting("locFormat", 1)) {
    case 0:
        text = coordinateDms(a, sign);
        break;
    case 1:
        text = coordinateDegreesMinutes(a, sign);
        break;
    default:
        text = fixedLocalized(v, 4) + QStringLiteral("deg");
        break;
    }
    return text.replace(QStringLiteral("deg"), QObject::tr("deg"));
}

QString formatLongitude(double v)
{
    // Folded into one turn by fmod rather than by repeated subtraction,
    // which never ends on a huge or infinite value; a whole number of turns
    // still lands on 360 (west of 0) as the subtraction would.
    if (v > 0.0) {
        if (v > 360.0) {
            v = std::fmod(v, 360.0);
            if (v == 0.0)
                v = 360.0;
        }
        return v <= 180.0 ? formatCoordinate(v) + QLatin1Char('E') : formatCoordinate(360.0 - v) + QLatin1Char('W');
    }
    if (v < -360.0) {
        v = std::fmod(v, 360.0);
        if (v == 0.0)
            v = -360.0;
    }
    return v >= -180.0 ? formatCoordinate(-v) + QLatin1Char('W') : formatCoordinate(v + 360.0) + QLatin1Char('E');
}

QString formatPosition(double lon, double lat)
{
    const QString latitude =
        lat > 0.0 ? formatCoordinate(lat) + QLatin1Char('N') : formatCoordinate(-lat) + QLatin1Char('S');
    return latitude + QLatin1Char(' ') + formatLongitude(lon);
}

QDateTime toDisplayTime(const QDateTime &t)
{
    return setting("timeZone", 1) == 0 ? t.toUTC() : t.toLocalTime();
}

QString formatDateTime(const QDateTime &t)
{
    // The shown time at a fixed offset: the same wall clock as toDisplayTime
    // gives, formatted without asking for the zone again.
    const int offset = setting("timeZone", 1) == 0 ? 0 : localOffset(t.toSecsSinceEpoch());
    const QDateTime d = t.toOffsetFromUtc(offset);
    const QString zone = d.toString(QStringLiteral("t"));
    const bool monthFirst = setting("formatMMDD", 0) == 1;
    const bool twentyFour = setting("timeFormat", 0) == 0;
    const QString clock = twentyFour ? QStringLiteral("hh:mm:ss") : QStringLiteral("h:mm:ss ap");
    const QString date = monthFirst ? QStringLiteral(" (%1) %2 dd, yyyy") : QStringLiteral(" (%1) dd %2 yyyy");
    // The pattern's letters in the C locale (am/pm in lower case); the month
    // name in the user's language.
    const QString text = QLocale::c().toString(d, clock + date);
    return text.arg(zone, QLocale().monthName(d.date().month(), QLocale::ShortFormat));
}

} // namespace Formatting
