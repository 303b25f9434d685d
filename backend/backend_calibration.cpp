// The USB barometer's calibration: commands go to the serial source on the
// worker thread as a queued signal, replies come back the same way.
#include "backend.h"

#include "nmeasourceserial.h"

#include <QtDebug>
#include <cmath>

void BackEnd::calibrateBarometer(double offset, double slope, double pressure)
{
    const QString sentence = NmeaSourceSerial::calibrationCommand(offset, slope, pressure);
    qWarning() << sentence;
    expectCalibration(offset, slope);
    emit sendCalibration(sentence);
}

void BackEnd::requestCurrentCalibration()
{
    const QString sentence = NmeaSourceSerial::calibrationQuery();
    m_timerOperation.start();
    emit sendCalibration(sentence);
}

void BackEnd::resetBarometer()
{
    // Back to the maker's offset and slope: a step nobody knows the size of.
    expectCalibration(std::nan(""), std::nan(""));
    emit sendCalibration(NmeaSourceSerial::factoryResetCommand());
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
