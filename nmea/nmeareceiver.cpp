#include "nmeareceiver.h"

#include "backend.h"
#include "backendlink.h"
#include "clock.h"
#include "n2klinereader.h"
#include "nmea0183.h"
#include "nmeasenderudp.h"
#include "nmeasourcecan.h"
#include "nmeasourceserial.h"
#include "nmeasourcesignalk.h"
#include "nmeasourcetcp.h"
#include "nmeasourceudp.h"

#include <QTimer>
#include <QtDebug>

namespace {
int intSetting(BackEndLink &link, const char *key, int def)
{
    return link.getSetting(QString::fromLatin1(key), def).toInt();
}

QString textSetting(BackEndLink &link, const char *key, const QString &def)
{
    return link.getSetting(QString::fromLatin1(key), def).toString();
}
}

NmeaReceiver::NmeaReceiver(std::shared_ptr<BackEndLink> link, std::shared_ptr<BackEndLink> previous)
    : m_link(link ? std::move(link) : std::make_shared<BackEndLink>(g_backEnd))
    , m_previous(std::move(previous))
{
}

NmeaReceiver::~NmeaReceiver()
{
    releaseOutput();
    qDeleteAll(sources);
    sources.clear();
    m_link->markWoundDown();
}

bool NmeaReceiver::isValidSentence(const QByteArray &line, int &index)
{
    return parser && parser->isValidSentence(line, index);
}

void NmeaReceiver::parseSentence(const QByteArray &line, int index, int sourceId)
{
    if (parser)
        parser->parseSentence(line, index, sourceId);
}

void NmeaReceiver::stop()
{
    stopAll();
    m_link->markWoundDown();
    emit finished();
}

void NmeaReceiver::releaseOutput()
{
    if (timerUdp) {
        timerUdp->stop();
        delete timerUdp;
        timerUdp = nullptr;
    }
    delete senderUdp;
    senderUdp = nullptr;
}

void NmeaReceiver::stopAll()
{
    releaseOutput();
    const QList<NmeaSource *> copy = sources;
    for (NmeaSource *source : copy)
        source->stopReceiving();
    qDeleteAll(copy);
    sources.clear();
}

void NmeaReceiver::startSource(NmeaSource *source, int delayMs)
{
    sources.append(source);
    QTimer::singleShot(Clock::interval(delayMs), source, &NmeaSource::slot_startReceiving);
}

void NmeaReceiver::slot_startReceiving()
{
    // Here in the worker thread, not on the screen's: the worker this one
    // replaces may still be winding down, holding its ports.
    if (m_previous && !m_previous->waitWoundDown(Clock::interval(WindDownMs)))
        qWarning() << "previous NMEA worker still busy, starting anyway";
    m_previous.reset();
    if (!m_link->isOpen())
        return;
    parser = new Nmea0183(this, m_link.get());
    BackEndLink &link = *m_link;

    const QString portSetting = textSetting(link, "SettingSerialPort", QStringLiteral("None"));
    const bool serial = !portSetting.isEmpty() && intSetting(link, "SettingUseSerial", 0) == 1
        && portSetting != QLatin1String("None");
    if (serial) {
        // The settings screen stores "name description"; the name is the port.
        const QString name = portSetting.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
        const int stopBits = intSetting(link, "SettingSerialStopBit", 0);
        const int dataBits = intSetting(link, "SettingSerialNbBits", 0);
        const int parity = intSetting(link, "SettingSerialParity", 0);
        const int flow = intSetting(link, "SettingSerialControl", 0);
        const int speed = intSetting(link, "SettingSerialSpeed", 9600);
        startSource(new NmeaSourceSerial(this, name, speed, flow, parity, dataBits, stopBits), 0);
    }
    const int networkDelay = serial ? NetworkStartDelayMs : 0;
    if (intSetting(link, "SettingUseTcp", 0) == 1) {
        const int port = intSetting(link, "SettingTcpIpPort", 10110);
        const QString address = textSetting(link, "SettingTcpIpAddress", QStringLiteral("127.000.000.001"));
        startSource(new NmeaSourceTcp(this, address, port), networkDelay);
    }
    if (intSetting(link, "SettingUseUdp", 0) == 1)
        startSource(new NmeaSourceUdp(this, QStringLiteral("0.0.0.0"), intSetting(link, "SettingUdpPort", 10110)),
                    networkDelay);
    if (intSetting(link, "SettingUseN2k", 0) == 1)
        startN2k(networkDelay);
    if (intSetting(link, "SettingUseSignalK", 0) == 1)
        startSource(new NmeaSourceSignalK(this, textSetting(link, "SettingSignalKHost", QStringLiteral("127.0.0.1")),
                                          intSetting(link, "SettingSignalKPort", 3000),
                                          textSetting(link, "SettingSignalKToken", QString())),
                    networkDelay);
    if (intSetting(link, "SettingUseUdpOut", 0) == 1) {
        timerUdp = new QTimer(this);
        timerUdp->setInterval(Clock::interval(1000));
        connect(timerUdp, &QTimer::timeout, this, &NmeaReceiver::slot_sendUdp);
        timerUdp->start();
    }
}

void NmeaReceiver::startN2k(int delayMs)
{
    BackEndLink &link = *m_link;
    // 0 a CAN interface of the computer, 1 a gateway over TCP, 2 a gateway over UDP.
    const int mode = intSetting(link, "SettingN2kMode", 0);
    const int port = intSetting(link, "SettingN2kPort", 1457);
    if (mode == 0) {
        startSource(new NmeaSourceCan(this, textSetting(link, "SettingN2kInterface", QStringLiteral("can0"))),
                    delayMs);
        return;
    }
    n2kLines = std::make_unique<N2kLineReader>(m_link.get(), SourceN2k);
    if (mode == 1) {
        const QString address = textSetting(link, "SettingN2kAddress", QStringLiteral("127.000.000.001"));
        startSource(new NmeaSourceTcp(this, address, port, n2kLines.get()), delayMs);
    } else if (mode == 2) {
        startSource(new NmeaSourceUdp(this, QStringLiteral("0.0.0.0"), port, n2kLines.get()), delayMs);
    }
}

void NmeaReceiver::slot_sendUdp()
{
    if (!m_link->isOpen())
        return;
    BackEndLink &link = *m_link;
    if (!senderUdp)
        senderUdp = new NmeaSenderUdp();
    const int port = intSetting(link, "updPort", 10110);
    const double pressure = link.relayPressure();
    if (pressure > 0)
        senderUdp->sendPressure(pressure, port);
    if (intSetting(link, "sendUdpPos", 0) != 1)
        return;
    // One copy: a position never goes out with another fix's course and speed.
    const BackEnd::Fix fix = link.relayFix();
    if (fix.position.isNull())
        return;
    senderUdp->sendPosition(fix.position, fix.sog, fix.cog, port);
}
