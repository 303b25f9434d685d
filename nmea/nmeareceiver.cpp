#include "nmeareceiver.h"

#include "backend.h"
#include "clock.h"
#include "nmea0183.h"
#include "nmeasenderudp.h"
#include "nmeasourceserial.h"
#include "nmeasourcetcp.h"
#include "nmeasourceudp.h"

#include <QTimer>

namespace {
int intSetting(const char *key, int def)
{
    return g_backEnd->getSetting(QString::fromLatin1(key), def).toInt();
}

QString textSetting(const char *key, const QString &def)
{
    return g_backEnd->getSetting(QString::fromLatin1(key), def).toString();
}
}

NmeaReceiver::NmeaReceiver() = default;

NmeaReceiver::~NmeaReceiver()
{
    releaseOutput();
    sources.clear();
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
    if (!g_backEnd)
        return;
    parser = new Nmea0183(this);

    const QString portSetting = textSetting("SettingSerialPort", QStringLiteral("None"));
    const bool serial = !portSetting.isEmpty() && intSetting("SettingUseSerial", 0) == 1
        && portSetting != QLatin1String("None");
    if (serial) {
        // The settings screen stores "name description"; the name is the port.
        const QString name = portSetting.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
        const int stopBits = intSetting("SettingSerialStopBit", 0);
        const int dataBits = intSetting("SettingSerialNbBits", 0);
        const int parity = intSetting("SettingSerialParity", 0);
        const int flow = intSetting("SettingSerialControl", 0);
        const int speed = intSetting("SettingSerialSpeed", 9600);
        startSource(new NmeaSourceSerial(this, name, speed, flow, parity, dataBits, stopBits), 0);
    }
    const int networkDelay = serial ? NetworkStartDelayMs : 0;
    if (intSetting("SettingUseTcp", 0) == 1) {
        const int port = intSetting("SettingTcpIpPort", 10110);
        const QString address = textSetting("SettingTcpIpAddress", QStringLiteral("127.000.000.001"));
        startSource(new NmeaSourceTcp(this, address, port), networkDelay);
    }
    if (intSetting("SettingUseUdp", 0) == 1)
        startSource(new NmeaSourceUdp(this, QStringLiteral("0.0.0.0"), intSetting("SettingUdpPort", 10110)),
                    networkDelay);
    if (intSetting("SettingUseUdpOut", 0) == 1) {
        timerUdp = new QTimer(this);
        timerUdp->setInterval(Clock::interval(1000));
        connect(timerUdp, &QTimer::timeout, this, &NmeaReceiver::slot_sendUdp);
        timerUdp->start();
    }
}

void NmeaReceiver::slot_sendUdp()
{
    if (!g_backEnd)
        return;
    if (!senderUdp)
        senderUdp = new NmeaSenderUdp();
    const int port = intSetting("updPort", 10110);
    const double pressure = g_backEnd->getCurrentPressure();
    if (pressure > 0)
        senderUdp->sendPressure(pressure, port);
    if (intSetting("sendUdpPos", 0) != 1)
        return;
    const QPointF position = g_backEnd->currentPosition();
    if (position.isNull())
        return;
    const QPair<double, double> cogSog = g_backEnd->currentCourseSpeed();
    senderUdp->sendPosition(position, cogSog.second, cogSog.first, port);
}
