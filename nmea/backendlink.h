#pragma once

#include "backend.h"
#include "nmeaconsumer.h"

#include <QSet>
#include <QString>
#include <QVariant>
#include <condition_variable>
#include <mutex>

// One NMEA worker's way into the back end, for the worker's whole life. When
// the back end replaces or stops the worker it closes the link: the pressure
// and the fix of every source that came through it are withdrawn, and from
// then on nothing that worker does reaches the back end (its writes are
// dropped, its reads get their defaults), however long it still takes to wind
// down. The worker marks the link wound down once its ports and sockets are
// released, so that its successor can wait for that (in its own thread)
// before opening the same port.
class BackEndLink : public NmeaConsumer
{
public:
    explicit BackEndLink(BackEnd *backEnd);

    // Returns once no call of the worker is inside the back end any more, its
    // sources withdrawn.
    void close();
    bool isOpen() const;

    void markWoundDown();
    // False when the time ran out first.
    bool waitWoundDown(int ms);

    void setPressure(double pressure, int source) override;
    void setFix(const QPointF &position, double sog, double cog, int source) override;
    void clearFix(int source) override;
    QVariant getSetting(const QString &key, const QVariant &def);
    // What the relay may send (never a Signal K value), or nothing once the
    // link is closed.
    double relayPressure();
    BackEnd::Fix relayFix();

private:
    // Held across each call into the back end, on purpose: close() must not
    // return while a call is still inside it. The back end never calls the
    // link while holding a lock of its own, so the order is always this
    // lock first.
    mutable std::mutex m_mutex;
    BackEnd *m_backEnd;
    // Every source that wrote through the link, whatever kind it is.
    QSet<int> m_sources;

    std::mutex m_windDownMutex;
    std::condition_variable m_woundDownChanged;
    bool m_woundDown = false;
};
