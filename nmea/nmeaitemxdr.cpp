#include "nmeaitemxdr.h"

#include "nmeaconsumer.h"

namespace {
// Above this a pressure value can only be in pascals.
constexpr double PascalThreshold = 10000.0;
constexpr double PascalPerBar = 100000.0;
}

void NmeaItemXDR::parse(const QByteArray &line, int sourceId)
{
    fresh = true;
    QStringList fields = splitFields(line);
    valid = false;
    fields.removeFirst();
    // A stray field in front (or an empty one at the end) would shift every
    // quadruple: keep the quadruples that end the sentence.
    const int excess = fields.size() % 4;
    fields.erase(fields.begin(), fields.begin() + excess);
    for (int i = 0; i + 4 <= fields.size(); i += 4) {
        if (fields.at(i) != QLatin1String("P") || fields.at(i + 1).isEmpty())
            continue;
        pressure = readNumber(fields.at(i + 1));
        valid = true;
        if (pressure > PascalThreshold)
            pressure /= PascalPerBar;
        hasPressure = true;
    }
    pressure = normalisePressure(pressure);
    publish(sourceId);
}

bool NmeaItemXDR::publish(int sourceId)
{
    if (!hasPressure) {
        pressure = -2000.0;
        return false;
    }
    if (!fresh)
        return false;
    fresh = false;
    if (!valid)
        return false;
    if (NmeaConsumer *target = consumer())
        target->setPressure(pressure, sourceId);
    return true;
}
