#include "n2k.h"

#include <cmath>

namespace N2k {

namespace {
constexpr double Pi = 3.14159265358979323846;
// 2 pi in units of 0.0001 rad: a course at most one full turn.
constexpr quint64 FullTurn = 62832;
// No boat makes more: such a speed is a garbled field.
constexpr double MaximumSpeedKnots = 1000.0;
// 129029 is 43 bytes up to its reference station count.
constexpr int GnssPositionSize = 43;

// The little-endian field of `bytes` bytes at `offset`; false if the payload ends before it.
bool field(const QByteArray &payload, int offset, int bytes, quint64 &raw)
{
    if (offset + bytes > payload.size())
        return false;
    raw = 0;
    for (int i = bytes - 1; i >= 0; --i)
        raw = (raw << 8) | quint8(payload.at(offset + i));
    return true;
}

// An unsigned field holding a measurement: present, and neither its highest value (not available) nor the one
// below (error).
bool measured(const QByteArray &payload, int offset, int bytes, quint64 &value)
{
    const quint64 highest = bytes == 8 ? ~quint64(0) : (quint64(1) << (8 * bytes)) - 1;
    return field(payload, offset, bytes, value) && value < highest - 1;
}

// The same for a signed field, whose highest value is the largest positive one.
bool measured(const QByteArray &payload, int offset, int bytes, qint64 &value)
{
    quint64 raw = 0;
    if (!field(payload, offset, bytes, raw))
        return false;
    const quint64 sign = quint64(1) << (8 * bytes - 1);
    value = qint64((raw & sign) ? raw | ~(sign * 2 - 1) : raw);
    return value < qint64(sign - 1) - 1;
}

Reading pressure(double hpa)
{
    Reading r;
    r.kind = Reading::Pressure;
    r.pressure = hpa;
    return r;
}

// Latitude at offset, longitude right after it, in units of `scale` degrees.
Reading position(const QByteArray &payload, int offset, int bytes, double scale)
{
    Reading r;
    if (payload.size() < offset + 2 * bytes)
        return r;
    qint64 lat = 0;
    qint64 lon = 0;
    if (!measured(payload, offset, bytes, lat) || !measured(payload, offset + bytes, bytes, lon)) {
        r.kind = Reading::NoPosition;
        return r;
    }
    const QPointF at(double(lon) * scale, double(lat) * scale);
    // Off the globe is garbled; (0, 0) stands for no position in the program.
    if (std::fabs(at.y()) > 90.0 || std::fabs(at.x()) > 180.0 || at.isNull())
        return r;
    r.kind = Reading::Position;
    r.position = at;
    return r;
}

Reading courseSpeed(const QByteArray &payload)
{
    Reading r;
    if (payload.size() < 6)
        return r;
    r.kind = Reading::CourseSpeed;
    quint64 cog = 0;
    quint64 sog = 0;
    // Byte 1, bits 0-1: 0 true, 1 magnetic. The barograph keeps true courses only; a magnetic one is no course.
    if ((quint8(payload.at(1)) & 3) == 0 && measured(payload, 2, 2, cog) && cog <= FullTurn)
        r.cog = std::fmod(double(cog) * 1e-4 * 180.0 / Pi, 360.0);
    if (measured(payload, 4, 2, sog) && double(sog) * 0.01 * 3.6 / 1.852 <= MaximumSpeedKnots)
        r.sog = double(sog) * 0.01 * 3.6 / 1.852;
    return r;
}

Reading gnssPosition(const QByteArray &payload)
{
    if (payload.size() < GnssPositionSize)
        return Reading();
    // Byte 31, bits 4-7: 0 no fix; 1 GNSS, 2 DGNSS, 3 precise, 4 RTK fixed, 5 RTK float. Dead reckoning, manual
    // input and simulation (6 to 8) are not where the boat is.
    const int method = quint8(payload.at(31)) >> 4;
    if (method == 0) {
        Reading r;
        r.kind = Reading::NoPosition;
        return r;
    }
    return method <= 5 ? position(payload, 7, 8, 1e-16) : Reading();
}
} // namespace

quint32 pgn(quint32 canId)
{
    const quint32 dataPage = (canId >> 24) & 1;
    const quint32 format = (canId >> 16) & 0xFF;
    const quint32 specific = (canId >> 8) & 0xFF;
    return (dataPage << 16) | (format << 8) | (format >= 240 ? specific : 0);
}

bool isWanted(quint32 pgn)
{
    return pgn == ActualPressure || pgn == EnvironmentalParameters || pgn == EnvironmentalOutside
        || pgn == PositionRapid || pgn == CourseSpeedRapid || pgn == GnssPosition;
}

bool isFastPacket(quint32 pgn)
{
    return pgn == GnssPosition;
}

Reading decode(quint32 pgn, const QByteArray &payload)
{
    qint64 signedRaw = 0;
    quint64 raw = 0;
    switch (pgn) {
    case ActualPressure:
        // Byte 2 is the kind of pressure: only 0, atmospheric, is the weather's (6, the altimeter setting, is a
        // pilot's figure, not a reading). 0.1 Pa a unit: a thousandth of a hectopascal.
        if (payload.size() > 2 && payload.at(2) == 0 && measured(payload, 3, 4, signedRaw))
            return pressure(double(signedRaw) / 1000.0);
        break;
    case EnvironmentalParameters:
    case EnvironmentalOutside:
        // 100 Pa a unit: hectopascals.
        if (measured(payload, pgn == EnvironmentalParameters ? 6 : 5, 2, raw))
            return pressure(double(raw));
        break;
    case PositionRapid:
        return position(payload, 0, 4, 1e-7);
    case CourseSpeedRapid:
        return courseSpeed(payload);
    case GnssPosition:
        return gnssPosition(payload);
    default:
        break;
    }
    return Reading();
}

} // namespace N2k
