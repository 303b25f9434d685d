#include "nmeaitemmmb.h"

#include "nmeaconsumer.h"

#include <QDebug>

namespace {
constexpr double BarPerInchOfMercury = 0.033863886866999995;
}

void NmeaItemMMB::parse(const QByteArray &line, int sourceId)
{
    fresh = true;
    const QStringList fields = splitFields(line);
    if (fields.size() != 5) {
        qWarning() << "MMB wrong message size" << fields.size();
        valid = false;
        return;
    }
    valid = false;
    double value = 0.0;
    if (!fields.at(3).isEmpty()) {
        value = readNumber(fields.at(3));
    } else if (fields.at(1).isEmpty()) {
        hasPressure = false;
        return;
    } else {
        value = readNumber(fields.at(1)) * BarPerInchOfMercury;
    }
    pressure = normalisePressure(value);
    hasPressure = true;
    valid = true;
    publish(sourceId);
}

bool NmeaItemMMB::publish(int sourceId)
{
    if (!fresh) {
        valid = false;
        return false;
    }
    fresh = false;
    if (!valid || !hasPressure)
        return false;
    if (NmeaConsumer *target = consumer())
        target->setPressure(pressure, sourceId);
    return true;
}
