#pragma once

#include <QPointF>

// What the NMEA side hands its decoded values to. The program's consumer is
// the BackEnd (through g_backEnd); the decoding tool has one that prints.
class NmeaConsumer
{
public:
    virtual ~NmeaConsumer() = default;
    // hPa; a negative value withdraws the source's pressure.
    virtual void setPressure(double pressure, int source) = 0;
    // x longitude, y latitude (decimal degrees), SOG knots, COG degrees.
    virtual void setFix(const QPointF &position, double sog, double cog, int source) = 0;
    virtual void clearFix(int source) = 0;
};
