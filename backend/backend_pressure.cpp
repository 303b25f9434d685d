// Pressure acquisition: the four sources, the platform sensor and the
// 2-second sample cycle.
#include "backend.h"

#include "datasource.h"
#include "formatting.h"
#include "nmeasenderudp.h"
#include "settingsstore.h"

#include <QColor>
#include <QGuiApplication>
#include <mutex>
#include <QPalette>
#include <QtDebug>
#include <cmath>

namespace {
constexpr int SensorRestartMs = 800;
} // namespace

void BackEnd::setPressure(double pressure, int source)
{
    if (source < 0 || source >= SourceCount)
        return;
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    m_pressure[source] = pressure;
    if (pressure < 0.0) {
        m_pressureAge[source].invalidate();
    } else {
        m_pressureAge[source].start();
        ++m_pressureStores[source];
    }
}

bool BackEnd::hasCurrentPressure()
{
    const double pressure = getCurrentPressure();
    return pressure >= MINIMUM_PRESSURE && pressure <= MAXIMUM_PRESSURE;
}

bool BackEnd::hasPressureSource()
{
    const auto on = [this](const char *key) { return getSetting(QLatin1String(key), 0).toInt() == 1; };
    const QString port = getSetting(QStringLiteral("SettingSerialPort"), QStringLiteral("None")).toString();
    return m_sensorPresent || (on("SettingUseSerial") && !port.isEmpty() && port != QLatin1String("None"))
        || on("SettingUseTcp") || on("SettingUseUdp") || on("SettingUseN2k") || on("SettingUseSignalK");
}

int BackEnd::readSources(double fresh[SourceCount], quint64 stores[SourceCount])
{
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    int current = -1;
    for (int i = 0; i < SourceCount; ++i) {
        fresh[i] = isFresh(i) ? m_pressure[i] : NO_PRESSURE;
        stores[i] = m_pressureStores[i];
        if (current < 0 && fresh[i] > 0.0)
            current = i;
    }
    return current;
}

bool BackEnd::isFresh(int source) const
{
    return m_pressure[source] > 0.0 && m_pressureAge[source].isValid()
        && m_pressureAge[source].elapsed() < PRESSURE_FRESH_MS;
}

int BackEnd::firstFresh(int end) const
{
    for (int i = 0; i < end; ++i) {
        if (isFresh(i))
            return i;
    }
    return -1;
}

double BackEnd::pressureBefore(int end)
{
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    const int source = firstFresh(end);
    return source < 0 ? NO_PRESSURE : m_pressure[source];
}

double BackEnd::getCurrentPressure()
{
    return pressureBefore(SourceCount);
}

qint64 BackEnd::pressureAge(int source) const
{
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    const bool known = source >= 0 && source < SourceCount && m_pressureAge[source].isValid();
    return known ? m_pressureAge[source].elapsed() : -1;
}

double BackEnd::getSerialPressure()
{
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    return m_pressure[SourceSerial];
}

bool BackEnd::isPressureSourceConfigured()
{
    const auto on = [this](const char *key) { return getSetting(QLatin1String(key), 0).toInt() == 1; };
    const bool serial = on("SettingUseSerial")
        && getSetting(QStringLiteral("SettingSerialPort"), QStringLiteral("None")).toString() != QLatin1String("None");
    return m_sensor.isConnectedToBackend() || serial || on("SettingUseTcp") || on("SettingUseUdp") || on("SettingUseN2k")
        || on("SettingUseSignalK");
}

QString BackEnd::getPressureSource()
{
    int current = -1;
    {
        std::lock_guard<std::mutex> lock(m_sourceMutex);
        current = firstFresh(SourceCount);
    }
    switch (current) {
    case SourceInternal:
        return tr("From internal pressure sensor");
    case SourceSerial:
        return tr("From serial connection");
    case SourceTcp:
        return tr("From TCP connection");
    case SourceUdp:
        return tr("From UDP connection");
    case SourceN2k:
        return tr("From NMEA 2000 connection");
    case SourceSignalK:
        return tr("From Signal K connection");
    default:
        return tr("No pressure available");
    }
}

void BackEnd::pauseService(bool b)
{
    // A barograph records around the clock: acquisition never pauses.
    Q_UNUSED(b)
}

void BackEnd::startPressureSensor()
{
    if (!m_sensor.connectToBackend()) {
        qWarning() << "no pressure sensor";
        return;
    }
    m_sensorPresent = true;
    connect(&m_sensor, &QSensor::readingChanged, this, &BackEnd::slot_pressureReading,
            Qt::UniqueConnection);
    m_timerSensor.setSingleShot(true);
    m_timerSensor.setTimerType(Qt::PreciseTimer);
    m_timerSensor.setInterval(Clock::interval(SensorRestartMs));
    connect(&m_timerSensor, &QTimer::timeout, &m_sensor, &QSensor::start, Qt::UniqueConnection);
    m_sensor.start();
}

void BackEnd::slot_pressureReading()
{
    m_sensor.stop();
    QPressureReading *reading = m_sensor.reading();
    if (reading)
        setPressure(reading->pressure() / 100.0, SourceInternal);
    relayInternalPressure();
    m_timerSensor.start();
}

void BackEnd::relayInternalPressure()
{
    if (getSetting(QStringLiteral("SettingUseUdpOut"), 0).toInt() != 1) {
        releaseSender();
        return;
    }
    if (!m_senderUdp)
        m_senderUdp = new NmeaSenderUdp();
    // As the worker's relay: no pressure, nothing sent (not -2000 hPa), and
    // never what came from Signal K.
    const double current = relayPressure();
    if (current <= 0.0)
        return;
    // The relay always carries sea-level pressure, whatever the screen shows.
    double value = getSetting(QStringLiteral("offset"), 0.0).toDouble() + current;
    const double h = getSetting(QStringLiteral("elevation"), 0.0).toDouble();
    if (std::fabs(h) > 1e-12)
        value /= Formatting::seaLevelFactor(h);
    const int port = getSetting(QStringLiteral("updPort"), 5999).toInt();
    m_senderUdp->sendPressure(value, port);
}

void BackEnd::releaseSender()
{
    delete m_senderUdp;
    m_senderUdp = nullptr;
}

int BackEnd::systemTheme() const
{
    // Light text on the system palette means a dark desktop.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return 0;
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    return (text.red() > 128 && text.green() > 128 && text.blue() > 128) ? 1 : 0;
}

void BackEnd::slot_timerData()
{
    if (getSetting(QStringLiteral("theme"), 0).toInt() == 2) {
        const int theme = systemTheme();
        if (theme != m_previousTheme) {
            m_previousTheme = theme;
            emit systemThemeChanged(theme);
        }
    }
    const int tick = m_tick;
    m_tick = (m_tick + 2 > 768) ? 0 : m_tick + 2;
    takeSample(tick);
}

bool BackEnd::takeSample(int tick)
{
    // The alarm chimes on through ticks without a pressure.
    m_stormWarning->tick();
    const QString date = Formatting::formatDateTime(Clock::currentDateTimeUtc());
    const Fix fix = firstFix();

    const QString position = (fix.position.x() == 0.0 && fix.position.y() == 0.0)
        ? QStringLiteral("No Position")
        : Formatting::formatPosition(fix.position.x(), fix.position.y());
    QString cogsog;
    if (std::fabs(fix.cog) <= 1e-12 && std::fabs(fix.sog) <= 1e-12) {
        cogsog = QStringLiteral("no");
    } else {
        cogsog = QStringLiteral("COG ") + Formatting::formatCourse(int(fix.cog)) + tr("deg")
            + QStringLiteral(" T - SOG ") + Formatting::formatSpeed(fix.sog * 1.852 / 3.6);
    }

    double fresh[SourceCount];
    quint64 stores[SourceCount];
    const int source = readSources(fresh, stores);
    const double pressure = source < 0 ? NO_PRESSURE : fresh[source];
    const bool sampled = pressure >= MINIMUM_PRESSURE && pressure <= MAXIMUM_PRESSURE;
    const bool settled = noteSteps(source, fresh, stores, sampled);
    updateOrigins(sampled ? source : -1);
    if (!sampled) {
        emit noPressureAvailable();
        emit dataUpdated(date, position, cogsog, QStringLiteral("NONE"));
        return false;
    }
    if (!settled)
        return false;

    double h = getSetting(QStringLiteral("elevation"), 0.0).toDouble();
    if (getSetting(QStringLiteral("preDisplay"), 0).toInt() == 1)
        h = 0.0;
    const double displayed =
        (getSetting(QStringLiteral("offset"), 0.0).toDouble() + pressure) / Formatting::seaLevelFactor(h);
    const QString text = Formatting::formatPressure(displayed, true);

    // A second tick within the second already recorded (a scaled clock, the
    // wall clock set back) would only collide with that row in the store.
    const qint64 second = Clock::currentSecsSinceEpoch();
    if (second == m_lastSampleSecond)
        return false;
    const double lon = fix.position.x();
    const double lat = fix.position.y();
    if (!g_dataSource || !g_dataSource->recordSample(tick, lon, lat, fix.cog, fix.sog, pressure))
        return false;
    m_lastSampleSecond = second;
    // Before the screens hear of the sample, so that they show its tendency.
    m_stormWarning->update(pressure, displayed);
    emit dataUpdated(date, position, cogsog, text);
    return true;
}
