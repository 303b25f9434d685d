// libFuzzer target over the NMEA input path: the line framing of both
// variants in front of the sentence parser and its items, fed in chunks
// whose sizes come from the input itself.
#include "lineframer.h"
#include "nmea0183.h"
#include "nmeaconsumer.h"

#include <QByteArray>
#include <QtGlobal>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
// Checks what the items hand over instead of storing it.
class CheckingConsumer : public NmeaConsumer
{
public:
    void setPressure(double pressure, int source) override
    {
        if (std::isnan(pressure) || source < 1 || source > 3)
            std::abort();
    }
    void setFix(const QPointF &position, double sog, double cog, int source) override
    {
        if (!std::isfinite(position.x()) || !std::isfinite(position.y()) || std::fabs(position.y()) > 90.0
            || std::fabs(position.x()) > 180.0 || !std::isfinite(sog) || !std::isfinite(cog) || source < 1
            || source > 3)
            std::abort();
    }
    void clearFix(int source) override
    {
        if (source < 1 || source > 3)
            std::abort();
    }
};

void quietMessages(QtMsgType, const QMessageLogContext &, const QString &)
{
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool initialised = false;
    if (!initialised) {
        qInstallMessageHandler(quietMessages);
        initialised = true;
    }
    CheckingConsumer consumer;
    Nmea0183 parser(nullptr, &consumer);
    LineFramer serial(LineFramer::Serial, 1);
    LineFramer network(LineFramer::Network, 2);
    serial.setReplyHandler([](const QByteArray &line) {
        if (!line.startsWith("$PWEGB,"))
            std::abort();
    });

    // The first byte chooses the chunk size, so splits land everywhere.
    const size_t chunk = size > 0 ? size_t(data[0] % 64) + 1 : 1;
    for (size_t offset = size > 0 ? 1 : 0; offset < size; offset += chunk) {
        const QByteArray piece(reinterpret_cast<const char *>(data) + offset, int(qMin(chunk, size - offset)));
        serial.feed(piece, &parser);
        network.feed(piece, &parser);
        if (serial.pendingSize() > LineFramer::MaxPending || network.pendingSize() > LineFramer::MaxPending)
            std::abort();
    }
    // Each whole input once more as a single line, straight into the parser.
    const QByteArray line(reinterpret_cast<const char *>(data), int(size));
    int index = 0;
    if (parser.isValidSentence(line, index))
        parser.parseSentence(line, index, 3);
    Nmea0183::checksum(line);
    return 0;
}
