// Position services: the per-source fixes and the platform positioning.
#include "backend.h"

#include "nmeasenderudp.h"
#include "settingsstore.h"

#include <QGeoPositionInfoSource>
#include <mutex>
#include <QtDebug>

namespace {
// A platform fix less accurate than this is not worth recording.
constexpr double MaximumAccuracyMetres = 200.0;
constexpr int PositionIntervalMs = 1000;
} // namespace

void BackEnd::setFix(const QPointF &position, double sog, double cog, int source)
{
    if (source < 0 || source >= SourceCount)
        return;
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    m_fix[source] = true;
    m_position[source] = position;
    m_sog[source] = sog;
    m_cog[source] = cog;
    m_fixAge[source].start();
}

void BackEnd::clearFix(int source)
{
    if (source < 0 || source >= SourceCount)
        return;
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    m_fix[source] = false;
    m_position[source] = QPointF(0.0, 0.0);
    m_fixAge[source].invalidate();
}

void BackEnd::clearAllFix()
{
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    for (int i = 0; i < SourceCount; ++i) {
        m_fix[i] = false;
        m_position[i] = QPointF(0.0, 0.0);
        m_fixAge[i].invalidate();
    }
}

int BackEnd::firstFixed(int end) const
{
    for (int i = 0; i < end; ++i) {
        if (m_fix[i])
            return i;
    }
    return -1;
}

BackEnd::Fix BackEnd::fixBefore(int end)
{
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    const int i = firstFixed(end);
    return i < 0 ? Fix{} : Fix{true, m_position[i], m_cog[i], m_sog[i]};
}

QPointF BackEnd::currentPosition()
{
    return firstFix().position;
}

QPair<double, double> BackEnd::currentCourseSpeed()
{
    const Fix fix = firstFix();
    return qMakePair(fix.cog, fix.sog);
}

void BackEnd::startLocationServices()
{
    const bool wanted = getSetting(QStringLiteral("SettingPosSource"), 1).toInt() == 1
        && getSetting(QStringLiteral("SettingUsePos"), 1).toInt() != 0;
    if (!wanted) {
        if (m_positionSource) {
            m_positionSource->stopUpdates();
            delete m_positionSource;
            m_positionSource = nullptr;
        }
        return;
    }
    qWarning() << "trying to start location services";
    if (!m_positionSource) {
        m_positionSource = QGeoPositionInfoSource::createDefaultSource(this);
        if (!m_positionSource)
            return;
    }
    m_positionSource->setPreferredPositioningMethods(QGeoPositionInfoSource::SatellitePositioningMethods);
    if (m_positionSource->preferredPositioningMethods() != QGeoPositionInfoSource::SatellitePositioningMethods)
        m_positionSource->setPreferredPositioningMethods(QGeoPositionInfoSource::AllPositioningMethods);
    m_positionSource->setUpdateInterval(PositionIntervalMs);
    connect(m_positionSource, &QGeoPositionInfoSource::positionUpdated, this,
            &BackEnd::slot_internalPositionUpdated, Qt::UniqueConnection);
    m_positionSource->startUpdates();
    qWarning() << "location services started";
}

void BackEnd::slot_internalPositionUpdated(QGeoPositionInfo g)
{
    if (!g.isValid() || !g.hasAttribute(QGeoPositionInfo::HorizontalAccuracy)) {
        qWarning() << "no fix";
        clearFix(SourceInternal);
        return;
    }
    if (g.attribute(QGeoPositionInfo::HorizontalAccuracy) > MaximumAccuracyMetres) {
        clearFix(SourceInternal);
        if (m_positionSource)
            m_positionSource->requestUpdate(0);
        return;
    }
    const QPointF position(g.coordinate().longitude(), g.coordinate().latitude());
    const double cog = g.hasAttribute(QGeoPositionInfo::Direction) ? g.attribute(QGeoPositionInfo::Direction) : 0.0;
    const double sog = g.hasAttribute(QGeoPositionInfo::GroundSpeed)
        ? g.attribute(QGeoPositionInfo::GroundSpeed) * 3.6 / 1.852
        : 0.0;
    setFix(position, sog, cog, SourceInternal);

    if (getSetting(QStringLiteral("SettingUseUdpOut"), 0).toInt() == 1
        && getSetting(QStringLiteral("sendUdpPos"), 0).toInt() == 1) {
        if (!m_senderUdp)
            m_senderUdp = new NmeaSenderUdp();
        const int port = getSetting(QStringLiteral("updPort"), 10110).toInt();
        m_senderUdp->sendPosition(position, sog, cog, port);
    } else {
        releaseSender();
    }
}
