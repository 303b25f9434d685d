#pragma once

#include "n2kdecoder.h"
#include "sentencesink.h"

#include <QByteArray>

class NmeaConsumer;

// NMEA 2000 frames as text lines, one frame a line, behind a line framer:
// - the RAW form of the common Wi-Fi and Ethernet gateways, time, direction
//   (R received from the bus, T sent to it), identifier and bytes in hex:
//     17:33:21.107 R 15FD0A24 03 00 00 05 76 0F 00 FF
// - a line of a candump log (Linux can-utils), time, interface, then the
//   identifier and the bytes joined by #:
//     (1700000000.123456) can0 15FD0A24#03000005760F00FF
// Identifiers are the 8 hex digits of an extended (29-bit) frame; NMEA 2000
// uses no other. Any other line is refused.
class N2kLineReader : public SentenceSink
{
public:
    N2kLineReader(NmeaConsumer *consumer, int sourceId);

    // The frame a line holds; false if it holds none.
    static bool readFrame(const QByteArray &line, quint32 &canId, QByteArray &data);

    // Reads the line's frame; the decoding follows.
    bool isValidSentence(const QByteArray &line, int &index) override;
    // Decodes the frame the check just read.
    void parseSentence(const QByteArray &line, int index, int sourceId) override;

    const N2kDecoder &decoder() const { return m_decoder; }

private:
    N2kDecoder m_decoder;
    quint32 m_canId = 0;
    QByteArray m_data;
};
