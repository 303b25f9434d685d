#pragma once

#include "barometer.h"

#include <QByteArray>
#include <QList>

// The simulated boat on an NMEA 2000 backbone: the frames its barometer,
// GNSS receiver and wind instrument put on the bus in one round, and the two
// text forms such frames travel in: a gateway's RAW lines and a candump log.
// Written here from the published field layouts, apart from the barograph's
// own decoder, so that each checks the other.
namespace N2kFrames {

struct Frame
{
    quint32 id = 0; // 29-bit CAN identifier
    QByteArray data;
};

// 130314 (pressure, 0.1 Pa), 129025 (position), 129026 (course and speed),
// 129029 (GNSS position, a fast packet of 7 frames, numbered by `sequence`)
// and 130306 (wind, which the barograph passes over); the position groups
// only when `position` is set. `msSinceEpoch` is the GNSS time.
QList<Frame> round(double pressureHpa, const Barometer::Track &track, bool position, qint64 msSinceEpoch,
                   int sequence);

// "17:33:21.107 R 15FD0A24 03 00 00 05 76 0F 00 FF", without line end.
QByteArray raw(const Frame &frame, qint64 msSinceEpoch);
// "(1700000000.123456) can0 15FD0A24#03000005760F00FF", without line end.
QByteArray candump(const Frame &frame, qint64 msSinceEpoch);

} // namespace N2kFrames
