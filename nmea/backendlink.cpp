#include "backendlink.h"

#include "backend.h"

#include <chrono>

BackEndLink::BackEndLink(BackEnd *backEnd)
    : m_backEnd(backEnd)
{
}

void BackEndLink::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A value the worker set after the screens cleared theirs would otherwise
    // stay for the rest of the run: a frozen position recorded with every
    // sample.
    for (int source : qAsConst(m_sources)) {
        if (!m_backEnd)
            break;
        m_backEnd->setPressure(NO_PRESSURE, source);
        m_backEnd->clearFix(source);
    }
    m_backEnd = nullptr;
}

bool BackEndLink::isOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backEnd != nullptr;
}

void BackEndLink::markWoundDown()
{
    {
        std::lock_guard<std::mutex> lock(m_windDownMutex);
        m_woundDown = true;
    }
    m_woundDownChanged.notify_all();
}

bool BackEndLink::waitWoundDown(int ms)
{
    std::unique_lock<std::mutex> lock(m_windDownMutex);
    return m_woundDownChanged.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_woundDown; });
}

void BackEndLink::setPressure(double pressure, int source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sources.insert(source);
    if (m_backEnd)
        m_backEnd->setPressure(pressure, source);
}

void BackEndLink::setFix(const QPointF &position, double sog, double cog, int source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sources.insert(source);
    if (m_backEnd)
        m_backEnd->setFix(position, sog, cog, source);
}

void BackEndLink::clearFix(int source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sources.insert(source);
    if (m_backEnd)
        m_backEnd->clearFix(source);
}

QVariant BackEndLink::getSetting(const QString &key, const QVariant &def)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backEnd ? m_backEnd->getSetting(key, def) : def;
}

double BackEndLink::relayPressure()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backEnd ? m_backEnd->relayPressure() : NO_PRESSURE;
}

BackEnd::Fix BackEndLink::relayFix()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backEnd ? m_backEnd->relayFix() : BackEnd::Fix();
}
