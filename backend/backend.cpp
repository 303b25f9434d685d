#include "backend.h"

#include "settingsstore.h"

#include <QQmlApplicationEngine>
#include <QtDebug>
#include <cmath>

BackEnd *g_backEnd = nullptr;
const char *const QUILLMERE_VERSION = "3.0.0";

BackEnd::BackEnd(QQmlApplicationEngine *engine)
    : QObject(nullptr)
{
    for (int i = 0; i < SourceCount; ++i) {
        m_pressure[i] = NO_PRESSURE;
        m_fix[i] = false;
        m_cog[i] = 0.0;
        m_sog[i] = 0.0;
        m_lastFresh[i] = NO_PRESSURE;
    }
    m_knownOffset = m_knownSlope = std::nan("");
    qWarning() << "BackEnd starting";
    g_backEnd = this;
    m_tick = 768;
    m_engine = engine;
    if (engine)
        connect(engine, &QQmlApplicationEngine::objectCreated, this, &BackEnd::watchWindow);
    m_doubleKeys = {QStringLiteral("offset"), QStringLiteral("elevation"), QStringLiteral("alarmFall"),
                    QStringLiteral("alarmRise"), QStringLiteral("alarmLow")};
    m_stringKeys = {QStringLiteral("SettingTcpIpAddress"), QStringLiteral("SettingSerialSpeed"),
                    QStringLiteral("SettingSerialPort"), QStringLiteral("SettingN2kInterface"),
                    QStringLiteral("SettingN2kAddress"), QStringLiteral("SettingSignalKHost"),
                    QStringLiteral("SettingSignalKToken")};

    // Named, as the operation timer, so that a check finds this very timer.
    m_timerData.setParent(this);
    m_timerData.setObjectName(QStringLiteral("sampleTimer"));
    m_timerData.setInterval(Clock::interval(2000));
    m_timerData.setTimerType(Qt::PreciseTimer);
    connect(&m_timerData, &QTimer::timeout, this, &BackEnd::slot_timerData, Qt::UniqueConnection);

    m_settings = new SettingsStore(m_basePath + QStringLiteral("barograph.ini"));
    m_settings->setValue(QStringLiteral("version"), QString::fromLatin1(QUILLMERE_VERSION));

    startLocationServices();
    startPressureSensor();

    m_timerOperation.setParent(this);
    m_timerOperation.setObjectName(QStringLiteral("operationTimer"));
    m_timerOperation.setSingleShot(true);
    m_timerOperation.setInterval(Clock::interval(5000));
    connect(&m_timerOperation, &QTimer::timeout, this, &BackEnd::operationTimeout);
    connect(this, &BackEnd::calibrationStatus, this, &BackEnd::slot_calibrationAnswered);

    m_stormWarning = new StormWarning(this);
    m_alarmNotifier = new AlarmNotifier(m_stormWarning, this);
    m_timerData.start();
    startNmea();
    qWarning() << "BackEnd created";
}

BackEnd::~BackEnd()
{
    // The worker calls into this object; it must be gone before anything here is.
    stopNmea();
    m_timerData.stop();
    m_timerSensor.stop();
    emit saveWindowSize();
    m_settings->sync();
    delete m_settings;
    m_settings = nullptr;
    releaseSender();
    qWarning() << "backend deleted";
}

QVariant BackEnd::getSetting(QString key, QVariant def)
{
    const QVariant v = m_settings->value(key, def);
    if (m_doubleKeys.contains(key))
        return QVariant(v.toDouble());
    if (m_stringKeys.contains(key))
        return QVariant(v.toString());
    return QVariant(v.toInt());
}

void BackEnd::setSetting(QString key, QVariant val)
{
    m_settings->setValue(key, val);
}

void BackEnd::syncSettings()
{
    m_settings->sync();
}
