// libFuzzer target over the NMEA 2000 input path: the input as a gateway's
// text (RAW or candump lines, in chunks whose sizes come from the input)
// through the gateway framing and the frame reader, and the same bytes as
// binary CAN frames straight into the decoder and its fast-packet assembly.
#include "backend.h"
#include "lineframer.h"
#include "n2kdecoder.h"
#include "n2klinereader.h"
#include "nmeaconsumer.h"

#include <QByteArray>
#include <QtGlobal>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// Checks what the decoder hands over instead of storing it.
class CheckingConsumer : public NmeaConsumer
{
public:
    void setPressure(double pressure, int source) override
    {
        if (!std::isfinite(pressure) || source != SourceN2k)
            std::abort();
    }
    void setFix(const QPointF &p, double sog, double cog, int source) override
    {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::fabs(p.y()) > 90.0 || std::fabs(p.x()) > 180.0
            || !(sog >= 0.0 && sog <= 1000.0) || !(cog >= 0.0 && cog < 360.0) || source != SourceN2k)
            std::abort();
    }
    void clearFix(int source) override
    {
        if (source != SourceN2k)
            std::abort();
    }
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckingConsumer consumer;
    N2kLineReader reader(&consumer, SourceN2k);
    LineFramer framer(LineFramer::Gateway, SourceN2k);
    const size_t chunk = size > 0 ? size_t(data[0] % 64) + 1 : 1;
    for (size_t offset = size > 0 ? 1 : 0; offset < size; offset += chunk) {
        framer.feed(QByteArray(reinterpret_cast<const char *>(data) + offset, int(qMin(chunk, size - offset))), &reader);
        if (framer.pendingSize() > LineFramer::MaxPending)
            std::abort();
    }
    // Binary frames: 4 bytes of identifier, a length byte, then that many bytes (at most 15, so that over-long
    // frames come too).
    N2kDecoder decoder(&consumer, SourceN2k);
    for (size_t at = 0; at + 5 <= size;) {
        quint32 id = 0;
        std::memcpy(&id, data + at, 4);
        const size_t length = qMin(size_t(data[at + 4] & 0x0F), size - at - 5);
        decoder.feed(id & 0x1FFFFFFF, QByteArray(reinterpret_cast<const char *>(data) + at + 5, int(length)));
        at += 5 + length;
    }
    // At most one packet waiting per sending device and fast-packet group.
    if (decoder.packets().pending() > 256 || reader.decoder().packets().pending() > 256)
        std::abort();
    return 0;
}
