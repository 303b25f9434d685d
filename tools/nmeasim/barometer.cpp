#include "barometer.h"

#include <QDateTime>
#include <QList>
#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;

QByteArray number(double value, int decimals)
{
    return QByteArray::number(value, 'f', decimals);
}

QByteArray nmeaAngle(double degrees, int degreeDigits)
{
    const double a = std::fabs(degrees);
    const int whole = int(a);
    const double minutes = (a - whole) * 60.0;
    return QByteArray::number(whole).rightJustified(degreeDigits, '0')
        + number(minutes, 4).rightJustified(7, '0');
}
}

double Barometer::rawPressure(double t) const
{
    if (steadyPressure > 0.0)
        return steadyPressure;
    // A depression 28 hPa deep whose centre passes 4 hours in, about 3 hours
    // wide, over the semi-diurnal tide of the atmosphere.
    const double hours = t / 3600.0;
    const double low = 28.0 * std::exp(-std::pow((hours - 4.0) / 3.0, 2.0));
    const double tide = 0.6 * std::sin(2.0 * Pi * hours / 12.0);
    return 1016.0 - low + tide;
}

double Barometer::reportedPressure(double t) const
{
    const double raw = rawPressure(t);
    return raw + offset + slope * (raw - SlopeReference) / 1000.0;
}

QByteArray Barometer::withChecksum(const QByteArray &text)
{
    unsigned char sum = 0;
    for (int i = 1; i < text.size(); ++i)
        sum ^= static_cast<unsigned char>(text.at(i));
    return text + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0');
}

QByteArray Barometer::pressureSentence(Kind kind, double t) const
{
    const double hpa = reportedPressure(t);
    const double bar = hpa / 1000.0;
    const double inHg = hpa / 33.8639;
    switch (kind) {
    case Xdr:
        return withChecksum("$IIXDR,P," + number(bar, 5) + ",B,Barometer");
    case Mmb:
        return withChecksum("$IIMMB," + number(inHg, 3) + ",I," + number(bar, 5) + ",B");
    case Mda:
        break;
    }
    return withChecksum("$IIMDA," + number(inHg, 3) + ",I," + number(bar, 5) + ",B,,,,,,,,,,,,,,,,");
}

Barometer::Track Barometer::track(double t)
{
    // A yacht leaving the Glénan islands south-west at 6 knots.
    Track at;
    at.course = 225.0;
    at.knots = 6.0;
    const double miles = at.knots * t / 3600.0;
    at.lat = 47.72 + miles * std::cos(at.course * Pi / 180.0) / 60.0;
    at.lon = -3.99 + miles * std::sin(at.course * Pi / 180.0) / 60.0 / std::cos(at.lat * Pi / 180.0);
    return at;
}

QByteArray Barometer::rmcSentence(double t, qint64 startEpoch)
{
    const Track at = track(t);
    const QDateTime when = QDateTime::fromSecsSinceEpoch(startEpoch + qint64(t), Qt::UTC);
    return withChecksum("$GPRMC," + when.toString(QStringLiteral("HHmmss.00")).toLatin1() + ",A,"
                        + nmeaAngle(at.lat, 2) + (at.lat >= 0 ? ",N," : ",S,") + nmeaAngle(at.lon, 3)
                        + (at.lon >= 0 ? ",E," : ",W,") + number(at.knots, 1) + ',' + number(at.course, 1) + ','
                        + when.toString(QStringLiteral("ddMMyy")).toLatin1() + ",,,A");
}

QByteArray Barometer::answer(const QByteArray &command, double t)
{
    if (!command.startsWith("$PWEGB,"))
        return QByteArray();
    const int star = command.indexOf('*');
    const QByteArray body = star < 0 ? command : command.left(star);
    if (star < 0 || withChecksum(body) != command.left(star + 3))
        return withChecksum("$PWEGB,ERR,CHECKSUM");
    if (refuse != RefuseNone) {
        // A barometer that is busy, or whose memory cannot be written.
        if (refuse == RefuseNext)
            refuse = RefuseNone;
        return withChecksum("$PWEGB,ERR");
    }
    const QList<QByteArray> fields = body.split(',');
    const QByteArray word = fields.value(1);
    if (word == "CAL?") {
        return withChecksum("$PWEGB,CAL," + number(offset, 2) + ',' + number(slope, 1) + ','
                            + number(SlopeReference, 1) + ',' + number(rawPressure(t), 2));
    }
    if (word == "FRST" && fields.size() == 2) {
        offset = 0.0;
        slope = 0.0;
        return withChecksum("$PWEGB,OK");
    }
    if (word == "UCAL" && fields.size() == 5) {
        bool okOffset = false;
        bool okSlope = false;
        bool okPressure = false;
        const double o = fields.at(2).toDouble(&okOffset);
        const double s = fields.at(3).toDouble(&okSlope);
        fields.at(4).toDouble(&okPressure);
        if (okOffset && okSlope && okPressure && std::fabs(o) <= 50.0 && std::fabs(s) <= 100.0) {
            offset = o;
            slope = s;
            return withChecksum("$PWEGB,OK");
        }
    }
    return withChecksum("$PWEGB,ERR");
}
