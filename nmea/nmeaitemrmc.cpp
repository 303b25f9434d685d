#include "nmeaitemrmc.h"

#include "nmeaconsumer.h"

#include <cmath>

namespace {
constexpr int MinimumFields = 12;
constexpr int ModeField = 12;
constexpr double MaximumCourse = 360.0;
constexpr double MaximumSpeedKnots = 1000.0;
}

bool NmeaItemRMC::readCoordinate(const QString &value, const QString &hemisphere,
                                 const QString &positive, const QString &negative, double &degrees)
{
    bool ok = false;
    const double v = readNumber(value, ok);
    if (!ok)
        return false;
    // ddmm.mmm: whole degrees in front of the minutes. Kept in floating
    // point: a huge number must not overflow an integer.
    const double whole = std::floor(v / 100.0);
    degrees = whole + (v / 100.0 - whole) / 0.6;
    if (hemisphere == negative)
        degrees = -degrees;
    else if (hemisphere != positive)
        return false;
    return true;
}

void NmeaItemRMC::parse(const QByteArray &line, int sourceId)
{
    fresh = true;
    status = QStringLiteral("V");
    position = QPointF(0.0, 0.0);
    mode = QStringLiteral("A");
    const QStringList fields = splitFields(line);
    valid = false;
    if (fields.size() < MinimumFields)
        return;
    status = fields.at(2);
    for (int i = 3; i <= 6; ++i) {
        if (fields.at(i).isEmpty())
            return;
    }
    double lon = 0.0;
    double lat = 0.0;
    if (!readCoordinate(fields.at(5), fields.at(6), QStringLiteral("E"), QStringLiteral("W"), lon))
        return;
    position.setX(lon);
    if (!readCoordinate(fields.at(3), fields.at(4), QStringLiteral("N"), QStringLiteral("S"), lat))
        return;
    position.setY(lat);
    if (lon == 0.0 && lat == 0.0)
        return;
    // A position off the globe is a garbled sentence, not a fix.
    if (std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0)
        return;
    sog = readNumber(fields.at(7));
    cog = readNumber(fields.at(8));
    // Nor is a course off the compass or a speed no boat makes: the sample
    // cycle cuts the course to an integer, and the relay writes both out.
    if (cog < 0.0 || cog > MaximumCourse || sog < 0.0 || sog > MaximumSpeedKnots)
        return;
    if (fields.size() > ModeField && !fields.at(ModeField).isEmpty())
        mode = fields.at(ModeField);
    valid = true;
    publish(sourceId);
}

bool NmeaItemRMC::publish(int sourceId)
{
    if (!fresh)
        return false;
    fresh = false;
    if (!valid)
        return false;
    NmeaConsumer *target = consumer();
    if (status != QLatin1String("V") && mode != QLatin1String("N")) {
        if (target)
            target->setFix(position, sog, cog, sourceId);
        return true;
    }
    if (target)
        target->clearFix(sourceId);
    return false;
}
