#include "nmeaitem.h"

#include "backend.h"

#include <cmath>

NmeaItem::NmeaItem(NmeaConsumer *consumer)
    : m_consumer(consumer)
{
}

void NmeaItem::parse(const QByteArray &, int)
{
}

bool NmeaItem::publish(int)
{
    return false;
}

QStringList NmeaItem::splitFields(const QByteArray &line)
{
    const QString text = QString::fromUtf8(line);
    const int star = text.indexOf(QLatin1Char('*'));
    return (star < 0 ? text : text.left(star)).split(QLatin1Char(','));
}

double NmeaItem::readNumber(const QString &field, bool &ok)
{
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        ok = false;
        return 0.0;
    }
    return value;
}

double NmeaItem::readNumber(const QString &field)
{
    bool ok = false;
    return readNumber(field, ok);
}

double NmeaItem::normalisePressure(double value)
{
    return value > 0.0 && value < 3.0 ? value * 1000.0 : value;
}

NmeaConsumer *NmeaItem::consumer() const
{
    return m_consumer ? m_consumer : static_cast<NmeaConsumer *>(g_backEnd);
}
