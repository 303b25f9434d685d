#pragma once

#include <QByteArray>
#include <QHash>
#include <QtGlobal>

// Reassembles NMEA 2000 fast packets: a group too long for one CAN frame is
// sent as a run of frames, each opening with a byte that holds a sequence
// number (bits 5-7, the same for every frame of one packet) and a frame
// counter (bits 0-4). Frame 0 carries the packet's length and its first 6
// bytes, each later frame 7 more. Packets are put together per sending
// device and group, so two devices sending the same group at once do not mix.
// A lost frame, or frames whose first never came, drop the packet: a position
// stitched from two packets would be a place the boat never was.
class N2kFastPacket
{
public:
    // 6 bytes in frame 0 and 7 in each of the 31 frames a counter can number.
    static constexpr int MaxLength = 223;

    // Takes one frame of `pgn` from `source`; true, with the whole packet in
    // `packet`, when it was the last one.
    bool add(quint8 source, quint32 pgn, const QByteArray &frame, QByteArray &packet);
    // Packets waiting for more frames (at most one per device and group).
    int pending() const { return m_partial.size(); }
    void clear() { m_partial.clear(); }

private:
    struct Partial
    {
        int sequence = 0;
        int nextFrame = 1;
        int length = 0;
        QByteArray data;
    };
    QHash<quint32, Partial> m_partial;
};
