#pragma once

#include <QByteArray>
#include <QPointF>
#include <QtGlobal>

// NMEA 2000 as the barograph reads it: the parameter group (PGN) of a CAN
// identifier, and the fields of the five groups that carry the pressure and
// the position. Pure functions over one identifier and one payload (a single
// frame's up to 8 bytes, or a reassembled fast packet); little-endian, as on
// the bus. A field at its highest value means "not available", one below
// "error": neither is a measurement.
namespace N2k {

constexpr quint32 ActualPressure = 130314;      // 0.1 Pa, with the kind of pressure
constexpr quint32 EnvironmentalParameters = 130311; // hPa among temperature and humidity
constexpr quint32 EnvironmentalOutside = 130310;    // hPa among water and air temperature
constexpr quint32 PositionRapid = 129025;       // latitude, longitude, 1e-7 degree
constexpr quint32 CourseSpeedRapid = 129026;    // COG 0.0001 rad, SOG 0.01 m/s
constexpr quint32 GnssPosition = 129029;        // fast packet, 1e-16 degree

// Identifier: priority bits 26-28, data page bit 24, PDU format bits 16-23,
// PDU specific bits 8-15, source address bits 0-7. Below PDU format 240 the
// PDU specific byte is a destination address, not part of the group.
quint32 pgn(quint32 canId);
inline quint8 sourceAddress(quint32 canId) { return quint8(canId & 0xFF); }
// The groups decoded here; every other frame is passed over at once.
bool isWanted(quint32 pgn);
// Sent as a fast packet (several frames, reassembled before decoding).
bool isFastPacket(quint32 pgn);

// What one group says, in the program's units.
struct Reading
{
    enum Kind {
        Nothing,     // no value for the barograph in it
        Pressure,    // atmospheric pressure, hPa
        Position,    // a fix
        NoPosition,  // the receiver says it has no fix
        CourseSpeed, // course and speed over ground
    };
    Kind kind = Nothing;
    double pressure = 0.0;
    QPointF position;  // x longitude, y latitude, decimal degrees
    double cog = 0.0;  // degrees true; 0 when not known
    double sog = 0.0;  // knots; 0 when not known
};

Reading decode(quint32 pgn, const QByteArray &payload);

} // namespace N2k
