#include "n2kframes.h"

#include <QDateTime>
#include <cmath>

namespace N2kFrames {

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr quint8 Barometer = 0x24; // the source addresses of the simulated devices
constexpr quint8 Gnss = 0x01;
constexpr quint8 Wind = 0x69;

// Priority, group and sender; every group sent here is broadcast (PDU format 240 and above).
quint32 identifier(int priority, quint32 pgn, quint8 source)
{
    return (quint32(priority) << 26) | (pgn << 8) | source;
}

void put(QByteArray &data, qint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        data.append(char((quint64(value) >> (8 * i)) & 0xFF));
}

QByteArray padded(QByteArray data)
{
    return data.leftJustified(8, char(0xFF));
}

// 43 bytes: time, position to 1e-16 degree, a GNSS fix (method 1) from 8 satellites.
QByteArray gnssPosition(const Barometer::Track &track, qint64 msSinceEpoch, int sequence)
{
    QByteArray data;
    put(data, sequence & 0xFF, 1);
    put(data, msSinceEpoch / 86400000, 2);
    put(data, (msSinceEpoch % 86400000) * 10, 4);
    put(data, std::llround(track.lat * 1e16), 8);
    put(data, std::llround(track.lon * 1e16), 8);
    put(data, 2000000, 8); // 2 m above the ellipsoid, in micrometres
    data += char(0x10);    // GPS, GNSS fix
    data += char(0xFC);    // no integrity checking
    data += char(8);       // satellites
    put(data, 90, 2);      // HDOP 0.9
    put(data, 150, 2);     // PDOP 1.5
    put(data, 4690, 4);    // geoidal separation 46.9 m
    data += char(0);       // reference stations
    return data;
}

// A fast packet's frames: the sequence in the top 3 bits of each first byte, the frame counter below; the length
// then 6 bytes in frame 0, 7 in each after.
QList<Frame> fastPacket(quint32 id, const QByteArray &packet, int sequence)
{
    QList<Frame> frames;
    const int top = (sequence & 7) << 5;
    frames << Frame{id, padded(char(top) + QByteArray(1, char(packet.size())) + packet.left(6))};
    for (int at = 6, counter = 1; at < packet.size(); at += 7, ++counter)
        frames << Frame{id, padded(char(top | counter) + packet.mid(at, 7))};
    return frames;
}
} // namespace

QList<Frame> round(double pressureHpa, const Barometer::Track &track, bool position, qint64 msSinceEpoch,
                   int sequence)
{
    QList<Frame> frames;
    QByteArray pressure(1, char(sequence));
    pressure += QByteArray("\x00\x00", 2); // instance 0, atmospheric
    put(pressure, std::llround(pressureHpa * 1000.0), 4);
    frames << Frame{identifier(5, 130314, Barometer), padded(pressure)};
    QByteArray wind(1, char(sequence));
    put(wind, 730, 2);   // 7.3 m/s
    put(wind, 7854, 2);  // 45 degrees
    wind += char(0xFA);  // apparent
    frames << Frame{identifier(2, 130306, Wind), padded(wind)};
    if (!position)
        return frames;
    QByteArray rapid;
    put(rapid, std::llround(track.lat * 1e7), 4);
    put(rapid, std::llround(track.lon * 1e7), 4);
    frames << Frame{identifier(2, 129025, Gnss), rapid};
    QByteArray motion(1, char(sequence));
    motion += char(0xFC); // true
    put(motion, std::llround(track.course * Pi / 180.0 * 1e4), 2);
    put(motion, std::llround(track.knots * 1852.0 / 3600.0 * 100.0), 2);
    frames << Frame{identifier(2, 129026, Gnss), padded(motion)};
    frames += fastPacket(identifier(3, 129029, Gnss), gnssPosition(track, msSinceEpoch, sequence), sequence);
    return frames;
}

QByteArray raw(const Frame &frame, qint64 msSinceEpoch)
{
    QByteArray line = QDateTime::fromMSecsSinceEpoch(msSinceEpoch, Qt::UTC).toString("HH:mm:ss.zzz").toLatin1()
        + " R " + QByteArray::number(frame.id, 16).toUpper().rightJustified(8, '0');
    for (const char byte : frame.data)
        line += ' ' + QByteArray(1, byte).toHex().toUpper();
    return line;
}

QByteArray candump(const Frame &frame, qint64 msSinceEpoch)
{
    return '(' + QByteArray::number(msSinceEpoch / 1000) + '.'
        + QByteArray::number(msSinceEpoch % 1000 * 1000).rightJustified(6, '0') + ") can0 "
        + QByteArray::number(frame.id, 16).toUpper().rightJustified(8, '0') + '#' + frame.data.toHex().toUpper();
}

} // namespace N2kFrames
