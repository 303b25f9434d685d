#pragma once

#include "nmeaitem.h"

#include <QPointF>
#include <QString>

// Recommended minimum navigation data: position, speed and course over
// ground. A well-formed sentence that reports no fix withdraws the source's.
class NmeaItemRMC : public NmeaItem
{
public:
    using NmeaItem::NmeaItem;
    void parse(const QByteArray &line, int sourceId) override;
    bool publish(int sourceId) override;

    QString status;
    QPointF position; // x longitude, y latitude, decimal degrees
    double sog = 0.0; // knots
    double cog = 0.0; // degrees true
    QString mode;

private:
    // A ddmm.mmm (or dddmm.mmm) field in decimal degrees, signed by its
    // hemisphere letter; false if either field is unusable.
    static bool readCoordinate(const QString &value, const QString &hemisphere,
                               const QString &positive, const QString &negative, double &degrees);
};
