#pragma once

#include "clock.h"
#include "n2k.h"
#include "n2kfastpacket.h"

#include <QByteArray>
#include <QPointF>

class NmeaConsumer;

// One NMEA 2000 stream (a CAN interface, or a gateway's lines): its frames
// in, its pressures and fixes out to the consumer under one source index.
//
// The pressure of 130314 (Actual Pressure, 0.1 Pa) is preferred: while one
// is current, the hectopascals of the older 130311 and 130310 are not taken,
// so a bus carrying both does not switch between a fine and a coarse value.
// 129025 and 129029 give the position, 129026 the course and speed handed
// over with it.
class N2kDecoder
{
public:
    N2kDecoder(NmeaConsumer *consumer, int sourceId);

    // One CAN frame: the 29-bit identifier and its data bytes (at most 8).
    void feed(quint32 canId, const QByteArray &data);

    int sourceId() const { return m_sourceId; }
    const N2kFastPacket &packets() const { return m_packets; }

private:
    void apply(quint32 pgn, const N2k::Reading &reading);

    NmeaConsumer *m_consumer;
    int m_sourceId;
    N2kFastPacket m_packets;
    AgeTimer m_actualPressure; // since the last 130314 atmospheric pressure
    bool m_hasPosition = false;
    QPointF m_position;
    double m_cog = 0.0;
    double m_sog = 0.0;
};
