#include "nmeaitemmda.h"

#include "nmeaconsumer.h"

#include <QDebug>

void NmeaItemMDA::parse(const QByteArray &line, int sourceId)
{
    fresh = true;
    const QStringList fields = splitFields(line);
    if (fields.size() < 2) {
        qWarning() << "MDA wrong message size" << fields.size();
        valid = false;
        return;
    }
    // Short sentences carry inches of mercury only; from four fields on the
    // bar field is the one that counts, even when it is empty.
    double value = 0.0;
    if (fields.size() < 4)
        value = readNumber(fields.at(1), valid) / 29.53;
    else
        value = readNumber(fields.at(3), valid);
    pressure = normalisePressure(value);
    publish(sourceId);
}

bool NmeaItemMDA::publish(int sourceId)
{
    if (!fresh) {
        valid = false;
        return false;
    }
    fresh = false;
    if (!valid)
        return false;
    if (NmeaConsumer *target = consumer())
        target->setPressure(pressure, sourceId);
    return true;
}
