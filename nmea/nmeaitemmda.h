#pragma once

#include "nmeaitem.h"

// Meteorological composite: field 1 pressure in inches of mercury, field 3
// in bars (or hectopascals, as some stations write them).
class NmeaItemMDA : public NmeaItem
{
public:
    using NmeaItem::NmeaItem;
    void parse(const QByteArray &line, int sourceId) override;
    bool publish(int sourceId) override;

    double pressure = 0.0; // hPa
};
