// bench_nmea: decodes a large mixed NMEA stream, as a boat's network
// carries it (pressure, RMC, GGA, GSV, VTG, wind, depth, AIS, proprietary
// sentences), through the program's line framing and parser into a real
// BackEnd, and runs gpsdecode on the same stream for comparison. In the same
// run, the NMEA 2000 side: the frames of a busy backbone decoded straight
// (as from a CAN interface), and the same frames as a gateway's RAW lines
// through the gateway framing and the frame reader.
// Prints `name: value unit` lines.
//
//   bench_nmea [lines]      (default 300000 lines, and as many frames, per pass)
// gpsdecode is taken from $GPSDECODE, else from the PATH.
#include "backend.h"
#include "lineframer.h"
#include "n2kdecoder.h"
#include "n2klinereader.h"
#include "nmea0183.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int ChunkSize = 4096; // about what one read of a socket or port brings
constexpr int Passes = 5;

QByteArray withChecksum(const QByteArray &text)
{
    return text + '*' + Nmea0183::checksum(text).toLatin1() + "\r\n";
}

QByteArray makeStream(int lines, int &pressureLines)
{
    const QList<QByteArray> ais{
        "!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0",
        "!AIVDM,1,1,,B,15M67FC000G?ufbE`FepT@3n00Sa,0",
        "!AIVDM,1,1,,A,402R3Q1uiq2;9O`>fPOQ@1?005UP,0",
    };
    QByteArray stream;
    stream.reserve(lines * 60);
    pressureLines = 0;
    for (int i = 0, n = 0; n < lines; ++i) {
        const QByteArray t = QByteArray::number(100000 + i % 86400);
        const QByteArray frac = QByteArray::number(i % 1000);
        const QList<QByteArray> group{
            "$GPGGA," + t + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
            "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
            "$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00",
            "$GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00,,,,",
            "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A",
            "$GPRMC," + t + ",A,4807." + frac + ",N,01131.000,E,022.4,084.4,230394,003.1,W,A",
            ais.at(i % ais.size()),
            "$IIMWV,214.8,R,0.1,K,A",
            "$SDDBT,1330.5,f,0405.5,M,0221.6,F",
            "$IIMDA,29.9870,I,1.0" + frac + ",B,18.5,C,,,,,,,,,,,,,,",
            "$WIXDR,C,21.3,C,AirTemp,P,1013" + frac + ",P,Baro",
            "$IIMMB,29.9870,I,1.0154,B",
            "$PGRME,15.0,M,45.0,M,25.0,M",
            "$IIHDG,101.1,,,7.1,W",
        };
        for (const QByteArray &s : group) {
            stream += withChecksum(s);
            if (s.contains("MDA") || s.contains("XDR") || s.contains("MMB"))
                ++pressureLines;
            if (++n == lines)
                break;
        }
    }
    return stream;
}

struct Frame
{
    quint32 id;
    QByteArray data;
};

// A backbone's traffic: heading, attitude, speed, depth, wind and engine
// several times a second, the position groups, the pressure now and then,
// and AIS fast packets; most of it of no use to a barograph, as on a boat.
QList<Frame> makeFrames(int count)
{
    const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
    const QList<Frame> cycle{
        {0x09F11201, hex("FF1A2B7FFF7FFFFD")}, // 127250 heading
        {0x09F10D01, hex("FFFF7F10270000FF")}, // 127245 rudder
        {0x09F11301, hex("FF0D0000FF7FFFFF")}, // 127251 rate of turn
        {0x09F20024, hex("00A00F3C00FFFFFF")}, // 127488 engine, rapid
        {0x09FD0269, hex("00DA02AE1EFAFFFF")}, // 130306 wind
        {0x09F80101, hex("6768711CC80B9FFD")}, // 129025 position
        {0x09F80201, hex("00FC66993501FFFF")}, // 129026 course and speed
        {0x11F50323, hex("FF3401F401FFFFFF")}, // 128259 speed through water
        {0x11F50B23, hex("FFD0070000FFFFFF")}, // 128267 depth
        {0x15FD0A24, hex("000000246E0F00FF")}, // 130314 pressure
        {0x0DF80501, hex("002B003A51F0AB2C")}, // 129029, a fast packet of 7 frames
        {0x0DF80501, hex("0119C03F0710BA55")},
        {0x0DF80501, hex("029F06B07D449583")},
        {0x0DF80501, hex("033772FF80841E00")},
        {0x0DF80501, hex("040000000010FC08")},
        {0x0DF80501, hex("055A009600521200")},
        {0x0DF80501, hex("060000FFFFFFFFFF")},
        {0x19F80F4D, hex("4019127B3A5E0AC4")}, // 129039 AIS class B, a fast packet of 4 frames
        {0x19F80F4D, hex("41E0FA2CB4FF0C1C")},
        {0x19F80F4D, hex("42E9FFFF3C00FFFF")},
        {0x19F80F4D, hex("43FF0274FFFFFFFF")},
    };
    QList<Frame> frames;
    frames.reserve(count);
    for (int i = 0; i < count; ++i) {
        Frame frame = cycle.at(i % cycle.size());
        frame.data[0] = frame.id == 0x0DF80501 || frame.id == 0x19F80F4D ? frame.data.at(0) : char(i);
        frames << frame;
    }
    return frames;
}

QByteArray rawLines(const QList<Frame> &frames)
{
    QByteArray stream;
    stream.reserve(frames.size() * 48);
    for (const Frame &frame : frames) {
        stream += "17:33:21.107 R " + QByteArray::number(frame.id, 16).toUpper().rightJustified(8, '0');
        for (const char byte : frame.data)
            stream += ' ' + QByteArray(1, byte).toHex().toUpper();
        stream += "\r\n";
    }
    return stream;
}

double framesOnePass(const QList<Frame> &frames)
{
    N2kDecoder decoder(g_backEnd, SourceN2k);
    QElapsedTimer timer;
    timer.start();
    for (const Frame &frame : frames)
        decoder.feed(frame.id, frame.data);
    return timer.nsecsElapsed() / 1e9;
}

// The stream through the framing in chunks, as reads bring it.
double framedSeconds(const QByteArray &stream, LineFramer::Variant variant, SentenceSink &sink)
{
    LineFramer framer(variant, variant == LineFramer::Serial ? SourceSerial : SourceTcp);
    QElapsedTimer timer;
    timer.start();
    for (int offset = 0; offset < stream.size(); offset += ChunkSize)
        framer.feed(QByteArray::fromRawData(stream.constData() + offset, std::min(ChunkSize, stream.size() - offset)),
                    &sink);
    return timer.nsecsElapsed() / 1e9;
}

double rawOnePass(const QByteArray &stream)
{
    N2kLineReader reader(g_backEnd, SourceN2k);
    return framedSeconds(stream, LineFramer::Gateway, reader);
}

template <typename Pass, typename Input>
double best(Pass pass, const Input &input)
{
    double seconds = 1e300;
    for (int i = 0; i < Passes; ++i)
        seconds = std::min(seconds, pass(input));
    return seconds;
}

long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void report(const char *name, double value, const char *unit)
{
    std::printf("%s: %.6g %s\n", name, value, unit);
}

double oursOnePass(const QByteArray &stream, LineFramer::Variant variant)
{
    Nmea0183 parser; // hands its values to g_backEnd
    return framedSeconds(stream, variant, parser);
}

double bestOf(const QByteArray &stream, LineFramer::Variant variant)
{
    return best([variant](const QByteArray &input) { return oursOnePass(input, variant); }, stream);
}

QString findGpsdecode()
{
    const QString fromEnvironment = qEnvironmentVariable("GPSDECODE");
    return fromEnvironment.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("gpsdecode")) : fromEnvironment;
}

// Best wall time of gpsdecode over the stream file, or a negative value.
double gpsdecodeSeconds(const QString &program, const QString &streamFile)
{
    double best = -1.0;
    for (int i = 0; i < Passes; ++i) {
        QProcess process;
        process.setStandardInputFile(streamFile);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, QStringList());
        if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit)
            return -1.0;
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = best < 0.0 ? seconds : std::min(best, seconds);
    }
    return best;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const int lines = argc > 1 ? std::max(1, atoi(argv[1])) : 300000;

    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        // A back end that starts no NMEA worker and no positioning.
        QSettings settings(QStringLiteral("./barograph.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        for (const char *key : {"SettingUseSerial", "SettingUseTcp", "SettingUseUdp", "SettingUseUdpOut", "SettingUsePos"})
            settings.setValue(QLatin1String(key), 0);
    }
    auto *backEnd = new BackEnd(nullptr);

    int pressureLines = 0;
    const QByteArray stream = makeStream(lines, pressureLines);
    const QString streamFile = dir.filePath(QStringLiteral("stream.nmea"));
    {
        QFile file(streamFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(stream) != stream.size()) {
            std::fprintf(stderr, "bench_nmea: cannot write %s\n", qPrintable(streamFile));
            return 1;
        }
    }
    report("stream_lines", lines, "lines");
    report("stream_size", stream.size() / 1048576.0, "MiB");
    report("stream_pressure_lines", pressureLines, "lines");

    oursOnePass(stream, LineFramer::Serial); // warm up: items made, caches filled
    const long rssBefore = statusKb("VmRSS:");
    const double serial = bestOf(stream, LineFramer::Serial);
    const double network = bestOf(stream, LineFramer::Network);
    const long rssAfter = statusKb("VmRSS:");
    report("ours_serial_lines_per_second", lines / serial, "lines/s");
    report("ours_tcp_lines_per_second", lines / network, "lines/s");
    report("ours_serial_mib_per_second", stream.size() / 1048576.0 / serial, "MiB/s");
    report("ours_rss_before_decoding", rssBefore / 1024.0, "MiB");
    report("ours_rss_after_decoding", rssAfter / 1024.0, "MiB");
    report("ours_rss_growth_over_passes", (rssAfter - rssBefore) / 1024.0, "MiB");
    report("backend_pressure_after", backEnd->getCurrentPressure(), "hPa");

    // NMEA 2000, in the same run: as many frames as there were lines.
    const QList<Frame> frames = makeFrames(lines);
    const QByteArray raw = rawLines(frames);
    backEnd->setPressure(NO_PRESSURE, SourceTcp);
    backEnd->setPressure(NO_PRESSURE, SourceSerial);
    const double frameSeconds = best(framesOnePass, frames);
    const double rawSeconds = best(rawOnePass, raw);
    report("n2k_frames", frames.size(), "frames");
    report("ours_n2k_frames_per_second", lines / frameSeconds, "frames/s");
    report("ours_gateway_raw_lines_per_second", lines / rawSeconds, "lines/s");
    report("ours_gateway_raw_mib_per_second", raw.size() / 1048576.0 / rawSeconds, "MiB/s");
    report("raw_lines_over_0183_tcp_lines", network / rawSeconds, "x");
    report("backend_n2k_pressure_after", backEnd->getCurrentPressure(), "hPa");

    const QString gpsdecode = findGpsdecode();
    const double theirs = gpsdecode.isEmpty() ? -1.0 : gpsdecodeSeconds(gpsdecode, streamFile);
    if (theirs > 0.0) {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        report("gpsdecode_lines_per_second", lines / theirs, "lines/s");
        report("gpsdecode_max_rss", usage.ru_maxrss / 1024.0, "MiB");
        report("ours_serial_over_gpsdecode", theirs / serial, "x");
        report("ours_tcp_over_gpsdecode", theirs / network, "x");
    } else {
        std::printf("gpsdecode_lines_per_second: unavailable (install gpsd-clients or set GPSDECODE)\n");
    }

    delete backEnd;
    QDir::setCurrent(previous);
    return 0;
}
