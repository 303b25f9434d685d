// The USB barometer's calibration: each command goes out as sendCalibration,
// queued to the worker running now, which hands it to its serial source; the
// replies come back from that worker as queued signals. Every command waits
// at most 5 s for its answer.
#include "backend.h"

#include "nmeareceiver.h"
#include "nmeasourceserial.h"

#include <QtDebug>
#include <cmath>

void BackEnd::routeCalibration(NmeaReceiver *receiver)
{
    connect(this, &BackEnd::sendCalibration, receiver, &NmeaReceiver::sendCalibration, Qt::QueuedConnection);
    connect(receiver, &NmeaReceiver::calibrationStatus, this, &BackEnd::slot_calibrationStatus, Qt::QueuedConnection);
    connect(receiver, &NmeaReceiver::calibrationValues, this, &BackEnd::slot_calibrationValues, Qt::QueuedConnection);
}

void BackEnd::sendCommand(const QString &sentence)
{
    // A calibration or reset that no barometer answers must not leave the
    // screen waiting for ever: all three commands time out.
    m_timerOperation.start();
    emit sendCalibration(sentence);
}

void BackEnd::calibrateBarometer(double offset, double slope, double pressure)
{
    const QString sentence = NmeaSourceSerial::calibrationCommand(offset, slope, pressure);
    qWarning() << sentence;
    expectCalibration(offset, slope);
    sendCommand(sentence);
}

void BackEnd::requestCurrentCalibration()
{
    sendCommand(NmeaSourceSerial::calibrationQuery());
}

void BackEnd::resetBarometer()
{
    // Back to the maker's offset and slope: a step nobody knows the size of.
    expectCalibration(std::nan(""), std::nan(""));
    sendCommand(NmeaSourceSerial::factoryResetCommand());
}

void BackEnd::slot_calibrationStatus(bool status)
{
    m_timerOperation.stop();
    emit calibrationStatus(status);
}

void BackEnd::slot_calibrationValues(QString message)
{
    if (!message.contains(QLatin1Char('*')) || !message.contains(QLatin1Char(',')))
        return;
    const QStringList fields = message.section(QLatin1Char('*'), 0, 0).split(QLatin1Char(','));
    if (fields.size() < 6)
        return;
    m_timerOperation.stop();
    const double slopeRef = fields.at(4).toDouble();
    m_knownOffset = fields.at(2).toDouble();
    m_knownSlope = std::floor(fields.at(3).toDouble() + 0.5);
    qWarning() << "QSP received from calibrationr request" << slopeRef;
    emit calibrationValuesReceived(m_knownOffset, m_knownSlope, slopeRef, fields.at(5).toDouble());
}
