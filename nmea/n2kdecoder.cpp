#include "n2kdecoder.h"

#include "backend.h"
#include "nmeaconsumer.h"

namespace {
// The largest identifier of 29 bits, and the bytes of a classic CAN frame.
constexpr quint32 MaxIdentifier = 0x1FFFFFFF;
constexpr int MaxFrameBytes = 8;
}

N2kDecoder::N2kDecoder(NmeaConsumer *consumer, int sourceId)
    : m_consumer(consumer)
    , m_sourceId(sourceId)
{
}

void N2kDecoder::feed(quint32 canId, const QByteArray &data)
{
    if (canId > MaxIdentifier || data.size() > MaxFrameBytes)
        return;
    const quint32 pgn = N2k::pgn(canId);
    if (!N2k::isWanted(pgn))
        return;
    if (!N2k::isFastPacket(pgn))
        return apply(pgn, N2k::decode(pgn, data));
    QByteArray packet;
    if (m_packets.add(N2k::sourceAddress(canId), pgn, data, packet))
        apply(pgn, N2k::decode(pgn, packet));
}

void N2kDecoder::apply(quint32 pgn, const N2k::Reading &reading)
{
    if (!m_consumer)
        return;
    switch (reading.kind) {
    case N2k::Reading::Pressure:
        if (pgn == N2k::ActualPressure)
            m_actualPressure.start();
        else if (m_actualPressure.isValid() && m_actualPressure.elapsed() < PRESSURE_FRESH_MS)
            return;
        m_consumer->setPressure(reading.pressure, m_sourceId);
        return;
    case N2k::Reading::Position:
        m_hasPosition = true;
        m_position = reading.position;
        m_consumer->setFix(m_position, m_sog, m_cog, m_sourceId);
        return;
    case N2k::Reading::NoPosition:
        m_hasPosition = false;
        m_consumer->clearFix(m_sourceId);
        return;
    case N2k::Reading::CourseSpeed:
        m_cog = reading.cog;
        m_sog = reading.sog;
        if (m_hasPosition)
            m_consumer->setFix(m_position, m_sog, m_cog, m_sourceId);
        return;
    case N2k::Reading::Nothing:
        return;
    }
}
