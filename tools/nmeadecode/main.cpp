// nmeadecode: for a user whose barometer does not show. Reads an NMEA 0183
// stream from a file or standard input through exactly the framing and the
// parser of the program and prints one line per value decoded:
//   pressure <hPa> hPa
//   fix <latitude> <longitude> sog <knots> cog <degrees>
//   nofix
// --tcp applies the TCP/UDP line filter instead of the serial one; --n2k
// reads NMEA 2000 frames instead (a candump log, or a gateway's RAW lines);
// --signalk reads Signal K messages, one JSON message a line (# begins a
// comment), as the Signal K source takes them from its server;
// --verbose adds every refused line and why. Input is read in chunks and the
// framing holds a bounded tail, so any stream, however long or garbled, is
// safe.
#include "backend.h"
#include "lineframer.h"
#include "n2klinereader.h"
#include "nmea0183.h"
#include "nmeaconsumer.h"
#include "sentencesink.h"
#include "signalkreader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <utility>

namespace {
constexpr qint64 ChunkSize = 65536;
constexpr int ShownBytes = 160;

void print(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

// A refused line may be binary noise: show it printable and short.
QString printable(const QByteArray &line)
{
    QString text;
    for (int i = 0; i < line.size() && i < ShownBytes; ++i) {
        const uchar c = uchar(line.at(i));
        text += c >= 0x20 && c < 0x7f ? QString(QChar(c)) : QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    if (line.size() > ShownBytes)
        text += QStringLiteral("... (%1 bytes)").arg(line.size());
    return text;
}

class PrintingConsumer : public NmeaConsumer
{
public:
    void setPressure(double pressure, int) override
    {
        print(QStringLiteral("pressure %1 hPa").arg(pressure, 0, 'f', 2));
    }
    void setFix(const QPointF &position, double sog, double cog, int) override
    {
        print(QStringLiteral("fix %1 %2 sog %3 cog %4")
                  .arg(position.y(), 0, 'f', 6)
                  .arg(position.x(), 0, 'f', 6)
                  .arg(sog, 0, 'f', 2)
                  .arg(cog, 0, 'f', 2));
    }
    void clearFix(int) override { print(QStringLiteral("nofix")); }
};

// The parser, remembering why it refused the last line it refused.
class ExplainingSink : public SentenceSink
{
public:
    explicit ExplainingSink(Nmea0183 &parser)
        : m_parser(parser)
    {
    }
    bool isValidSentence(const QByteArray &line, int &index) override
    {
        const bool valid = m_parser.isValidSentence(line, index);
        if (!valid)
            m_reason = m_parser.refusalReason(line);
        return valid;
    }
    void parseSentence(const QByteArray &line, int index, int sourceId) override
    {
        m_parser.parseSentence(line, index, sourceId);
    }
    // Empty when the line never reached the parser.
    QString takeReason() { return std::exchange(m_reason, QString()); }

private:
    Nmea0183 &m_parser;
    QString m_reason;
};

bool s_verbose = false;

// One message a line; a line longer than a message may be is passed over
// without being held, whatever its length.
void decodeSignalK(QFile &input, PrintingConsumer &consumer)
{
    SignalKReader reader(&consumer, SourceSignalK);
    QByteArray line;
    qint64 overlong = 0;
    QByteArray chunk(int(ChunkSize), '\0');
    const auto take = [&] {
        // Blank lines, and a recording's comments (no message begins with #).
        if (overlong == 0 && (line.trimmed().isEmpty() || line.startsWith('#')))
            return line.clear();
        const QStringList refused = overlong > 0
            ? QStringList{QStringLiteral("message of %1 bytes, more than %2").arg(overlong).arg(SignalKReader::MaxMessageBytes)}
            : reader.feed(line);
        for (const QString &why : refused) {
            if (s_verbose)
                print(QStringLiteral("refused: %1").arg(why));
        }
        line.clear();
        overlong = 0;
    };
    for (qint64 n; (n = input.read(chunk.data(), ChunkSize)) > 0;) {
        for (qint64 i = 0; i < n; ++i) {
            const char c = chunk.at(int(i));
            if (c == '\n') {
                take();
            } else if (overlong > 0) {
                ++overlong;
            } else if (line.size() >= SignalKReader::MaxMessageBytes) {
                overlong = line.size() + 1;
                line.clear();
            } else {
                line += c;
            }
        }
        std::fflush(stdout);
    }
    take();
    std::fflush(stdout);
}

void messageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (s_verbose)
        std::fprintf(stderr, "warning: %s\n", message.toUtf8().constData());
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nmeadecode"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Decodes an NMEA 0183 stream (or NMEA 2000 frames, or Signal K messages) as the barograph does\nand prints the "
                       "pressures and fixes it finds."));
    options.addHelpOption();
    const QCommandLineOption tcp(QStringLiteral("tcp"), QStringLiteral("Frame as the TCP and UDP sources do (default: serial)."));
    const QCommandLineOption n2k(QStringLiteral("n2k"), QStringLiteral("Read NMEA 2000 frames: a candump log, or a gateway's RAW lines."));
    const QCommandLineOption signalK(QStringLiteral("signalk"), QStringLiteral("Read Signal K messages (the hello, deltas), one JSON message a line."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Also print each refused line and why."));
    options.addOption(tcp);
    options.addOption(n2k);
    options.addOption(signalK);
    options.addOption(verbose);
    options.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The stream to read; standard input if absent or -."));
    options.process(app);
    s_verbose = options.isSet(verbose);
    qInstallMessageHandler(messageHandler);

    const QStringList files = options.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "nmeadecode: one file at most\n");
        return 2;
    }
    QFile input;
    const bool fromStdin = files.isEmpty() || files.first() == QLatin1String("-");
    const bool opened = fromStdin ? input.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered)
                                  : (input.setFileName(files.first()), input.open(QIODevice::ReadOnly));
    if (!opened) {
        std::fprintf(stderr, "nmeadecode: cannot read %s: %s\n", qPrintable(input.fileName()),
                     qPrintable(input.errorString()));
        return 2;
    }

    PrintingConsumer consumer;
    if (options.isSet(signalK)) {
        decodeSignalK(input, consumer);
        return 0;
    }
    Nmea0183 parser(nullptr, &consumer);
    ExplainingSink explaining(parser);
    N2kLineReader frames(&consumer, SourceN2k);
    const bool gateway = options.isSet(n2k);
    const bool serial = !gateway && !options.isSet(tcp);
    SentenceSink &sink = gateway ? static_cast<SentenceSink &>(frames) : explaining;
    LineFramer framer(gateway ? LineFramer::Gateway : serial ? LineFramer::Serial : LineFramer::Network,
                      gateway ? SourceN2k : serial ? SourceSerial : SourceTcp);
    if (s_verbose) {
        framer.setRejectHandler([&](const QByteArray &line, const QString &why) {
            const QString reason = gateway ? QStringLiteral("not a CAN frame") : explaining.takeReason();
            print(QStringLiteral("refused: %1 (%2)").arg(printable(line), reason.isEmpty() ? why : reason));
        });
        framer.setReplyHandler([](const QByteArray &line) { print(QStringLiteral("reply: %1").arg(printable(line))); });
    }

    QByteArray chunk(int(ChunkSize), '\0');
    for (;;) {
        const qint64 n = input.read(chunk.data(), ChunkSize);
        if (n <= 0)
            break;
        framer.feed(QByteArray::fromRawData(chunk.constData(), int(n)), &sink);
        std::fflush(stdout);
    }
    // A last line without terminator still counts at the end of a file.
    framer.feed(QByteArrayLiteral("\n"), &sink);
    std::fflush(stdout);
    return 0;
}
