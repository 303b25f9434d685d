#include "nmeasource.h"

#include "backend.h"
#include "backendlink.h"
#include "clock.h"
#include "nmeareceiver.h"

#include <QIODevice>
#include <QTimer>
#include <QtDebug>

NmeaSource::NmeaSource(NmeaReceiver *receiver, int id)
    : QObject(receiver)
    , receiver(receiver)
    , link(receiver ? receiver->link() : nullptr)
    , sourceId(id)
{
}

NmeaSource::~NmeaSource()
{
    withdrawPressure();
    qWarning() << "nmea source deleted:" << sourceId;
}

bool NmeaSource::writeMessage(const QString &)
{
    return false;
}

void NmeaSource::reconnect()
{
    reconnecting = true;
    slot_startReceiving();
}

void NmeaSource::slot_sendMessage(QString message)
{
    if (message.isEmpty())
        return;
    writeMessage(message + QStringLiteral("\r\n"));
}

bool NmeaSource::writeToDevice(QIODevice *device, const QString &message)
{
    if (!device || message.isEmpty())
        return false;
    return device->write(message.toUtf8()) > 0;
}

void NmeaSource::scheduleReconnect(int ms)
{
    QTimer::singleShot(Clock::interval(ms), this, &NmeaSource::reconnect);
}

void NmeaSource::withdrawPressure()
{
    if (link)
        link->setPressure(NO_PRESSURE, sourceId);
}

