// nmeasim: the boat's side of an NMEA 0183 link. It serves a simulated
// barometer and track as a TCP server, as UDP datagrams, or as a USB
// barometer on a pseudo-terminal that answers the $PWEGB commands; or as a
// minimal Signal K server over WebSocket.
#include "simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {
bool parseKinds(const QString &text, QList<Barometer::Kind> &kinds)
{
    kinds.clear();
    for (const QString &word : text.toLower().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("mda"))
            kinds << Barometer::Mda;
        else if (word == QLatin1String("xdr"))
            kinds << Barometer::Xdr;
        else if (word == QLatin1String("mmb"))
            kinds << Barometer::Mmb;
        else
            return false;
    }
    return !kinds.isEmpty();
}

bool parseUdpTarget(const QString &text, SimulatorOptions &options)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    options.udpPort = text.mid(colon + 1).toInt(&ok);
    if (colon > 0)
        options.udpAddress = QHostAddress(text.left(colon));
    return ok && options.udpPort > 0 && options.udpPort < 65536 && !options.udpAddress.isNull();
}

int fail(const QString &text)
{
    QTextStream(stderr) << "nmeasim: " << text << '\n';
    return 2;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nmeasim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates the boat's side of an NMEA 0183 link: a depression passing over some hours and a\n"
        "yacht's track, served as a TCP server, as UDP datagrams, or as a USB barometer on a\n"
        "pseudo-terminal that answers $PWEGB,CAL?, UCAL and FRST with its own offset and slope;\n"
        "a calibration it accepts changes what it reports from then on.\n"
        "Where each link is opened is printed on standard output (\"tcp: listening on ... port N\",\n"
        "\"udp: sending to ...\", \"pty: /dev/pts/N\").\n"
        "Network traffic: listen on and send to loopback (127.0.0.1) only on shared or test machines;\n"
        "other addresses are refused unless --allow-network is given."));
    parser.addHelpOption();
    const QCommandLineOption tcp(QStringLiteral("tcp"), QStringLiteral("Serve as a TCP server on <port> (0: any free port)."), QStringLiteral("port"));
    const QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Address the TCP and Signal K servers listen on (default 127.0.0.1)."), QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption udp(QStringLiteral("udp"), QStringLiteral("Send UDP datagrams to [address:]<port> (default address 127.0.0.1; loopback only here)."), QStringLiteral("target"));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("Be a USB barometer on a pseudo-terminal."));
    const QCommandLineOption kinds(QStringLiteral("kinds"), QStringLiteral("Pressure sentences to send: mda, xdr, mmb, comma-separated (default mda)."), QStringLiteral("list"), QStringLiteral("mda"));
    const QCommandLineOption noRmc(QStringLiteral("no-rmc"), QStringLiteral("Send no RMC position."));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Rounds (pressure and position) per second; 0: as fast as the link takes them (default 1)."), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption speedup(QStringLiteral("speedup"), QStringLiteral("Simulated seconds per real second (default 1)."), QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Quit after <n> rounds."), QStringLiteral("n"));
    const QCommandLineOption drop(QStringLiteral("drop-every"), QStringLiteral("Drop every TCP connection every <s> seconds."), QStringLiteral("s"));
    const QCommandLineOption noise(QStringLiteral("noise"), QStringLiteral("Garble this share of the lines (0 to 1) with random bytes."), QStringLiteral("share"));
    const QCommandLineOption unterminated(QStringLiteral("unterminated-every"), QStringLiteral("Send every <n>th line without its separator."), QStringLiteral("n"));
    const QCommandLineOption noSeparator(QStringLiteral("no-separator"), QStringLiteral("Send every line without separator (an endless line)."));
    const QCommandLineOption offset(QStringLiteral("offset"), QStringLiteral("Initial calibration offset of the barometer, hPa."), QStringLiteral("hPa"), QStringLiteral("0"));
    const QCommandLineOption slope(QStringLiteral("slope"), QStringLiteral("Initial calibration slope of the barometer, hPa per bar."), QStringLiteral("value"), QStringLiteral("0"));
    const QCommandLineOption pressure(QStringLiteral("pressure"), QStringLiteral("Hold the barometer's sensor at this station pressure, hPa, instead of the passing depression."), QStringLiteral("hPa"), QStringLiteral("0"));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("Answer $PWEGB commands with $PWEGB,ERR: \"next\" (the first one only) or \"every\".\nA running --pty barometer refuses its next command after SIGUSR1."), QStringLiteral("which"));
    const QCommandLineOption n2k(QStringLiteral("n2k"), QStringLiteral("Be the boat's NMEA 2000 backbone instead: pressure (130314), position (129025, 129029),\ncourse and speed (129026) and wind, as a gateway's RAW lines over TCP and UDP,\nand as a candump log in the --log file."));
    const QCommandLineOption signalK(QStringLiteral("signalk"), QStringLiteral("Also serve a minimal Signal K stream (ws://address:<port>/signalk/v1/stream; 0: any free port):\nthe hello, the paths a client subscribes to, and deltas of the simulated boat."), QStringLiteral("port"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Also write the stream to <file>."), QStringLiteral("file"));
    const QCommandLineOption allowNetwork(QStringLiteral("allow-network"), QStringLiteral("Allow addresses other than loopback (on a boat's own network)."));
    parser.addOptions({tcp, listen, udp, pty, kinds, noRmc, rate, speedup, count, drop, noise, unterminated,
                       noSeparator, offset, slope, pressure, refuse, n2k, signalK, log, allowNetwork});
    parser.process(app);

    SimulatorOptions options;
    if (parser.isSet(tcp))
        options.tcpPort = parser.value(tcp).toInt();
    options.listenAddress = QHostAddress(parser.value(listen));
    if (parser.isSet(udp) && !parseUdpTarget(parser.value(udp), options))
        return fail(QStringLiteral("bad UDP target %1").arg(parser.value(udp)));
    options.pty = parser.isSet(pty);
    if (!parseKinds(parser.value(kinds), options.kinds))
        return fail(QStringLiteral("unknown sentence kinds %1").arg(parser.value(kinds)));
    options.rmc = !parser.isSet(noRmc);
    options.rate = parser.value(rate).toDouble();
    options.speedup = parser.value(speedup).toDouble();
    if (parser.isSet(count))
        options.count = parser.value(count).toLongLong();
    options.dropEvery = parser.value(drop).toInt();
    options.noise = parser.value(noise).toDouble();
    options.unterminatedEvery = parser.value(unterminated).toInt();
    options.noSeparator = parser.isSet(noSeparator);
    options.offset = parser.value(offset).toDouble();
    options.slope = parser.value(slope).toDouble();
    options.pressure = parser.value(pressure).toDouble();
    if (parser.isSet(refuse)) {
        const QString which = parser.value(refuse);
        if (which == QLatin1String("next"))
            options.refuse = Barometer::RefuseNext;
        else if (which == QLatin1String("every"))
            options.refuse = Barometer::RefuseEvery;
        else
            return fail(QStringLiteral("--refuse takes next or every, not %1").arg(which));
    }

    options.n2k = parser.isSet(n2k);
    options.logFile = parser.value(log);
    if (parser.isSet(signalK))
        options.signalKPort = parser.value(signalK).toInt();
    if (options.tcpPort < 0 && options.udpPort < 0 && !options.pty && options.logFile.isEmpty() && options.signalKPort < 0)
        return fail(QStringLiteral("choose at least one link: --tcp, --udp, --pty, --signalk or --log (see --help)"));
    if (options.n2k && options.pty)
        return fail(QStringLiteral("an NMEA 2000 backbone has no USB barometer: --tcp, --udp or --log"));
    if (!parser.isSet(allowNetwork)
        && (((options.tcpPort >= 0 || options.signalKPort >= 0) && !options.listenAddress.isLoopback())
            || (options.udpPort >= 0 && !options.udpAddress.isLoopback())))
        return fail(QStringLiteral("only loopback addresses without --allow-network"));

    Simulator simulator(options);
    if (!simulator.start())
        return 1;
    return app.exec();
}
