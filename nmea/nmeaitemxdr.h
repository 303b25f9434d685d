#pragma once

#include "nmeaitem.h"

// Transducer measurements, in quadruples of type, value, unit and name; the
// pressure is the quadruple of type P, in bar or pascals.
class NmeaItemXDR : public NmeaItem
{
public:
    using NmeaItem::NmeaItem;
    void parse(const QByteArray &line, int sourceId) override;
    bool publish(int sourceId) override;

    double pressure = -2000.0; // hPa
    bool hasPressure = false;  // a pressure quadruple was ever seen
};
