#pragma once

#include "nmeaitem.h"

// Barometer: field 1 pressure in inches of mercury, field 3 in bars.
class NmeaItemMMB : public NmeaItem
{
public:
    using NmeaItem::NmeaItem;
    void parse(const QByteArray &line, int sourceId) override;
    bool publish(int sourceId) override;

    double pressure = -2000.0; // hPa
    bool hasPressure = false;
};
