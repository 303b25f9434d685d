#include "clock.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>

namespace {
std::atomic<qint64> s_offsetMs{0};
std::atomic<qint64> s_wallStepMs{0};
std::atomic<qint64> s_frozenWallMs{-1};
std::atomic<double> s_intervalScale{1.0};
} // namespace

namespace Clock {

qint64 currentMSecsSinceEpoch()
{
    const qint64 frozen = s_frozenWallMs.load();
    const qint64 base = frozen >= 0 ? frozen : QDateTime::currentMSecsSinceEpoch();
    return base + s_offsetMs.load() + s_wallStepMs.load();
}

qint64 currentSecsSinceEpoch()
{
    // Floor division, so that instants before the epoch still round down.
    const qint64 ms = currentMSecsSinceEpoch();
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

QDateTime currentDateTimeUtc()
{
    return QDateTime::fromMSecsSinceEpoch(currentMSecsSinceEpoch(), Qt::UTC);
}

qint64 monotonicMs()
{
#ifdef CLOCK_BOOTTIME
    // Counting through a suspend, unlike the steady clock: an hour asleep is
    // an hour in which no pressure came, not a wall clock set forward.
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000 + s_offsetMs.load();
#else
    using namespace std::chrono;
    const qint64 now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return now + s_offsetMs.load();
#endif
}

int interval(int ms)
{
    const double scale = s_intervalScale.load();
    if (scale == 1.0)
        return ms;
    return int(std::lround(ms * scale));
}

void advance(qint64 ms) { s_offsetMs += ms; }
void stepWallClock(qint64 ms) { s_wallStepMs += ms; }
void setWallClock(qint64 msSinceEpoch) { s_frozenWallMs = msSinceEpoch < 0 ? -1 : msSinceEpoch; }
void setIntervalScale(double factor) { s_intervalScale = factor > 0.0 ? factor : 1.0; }

void reset()
{
    s_offsetMs = 0;
    s_wallStepMs = 0;
    s_frozenWallMs = -1;
    s_intervalScale = 1.0;
}

} // namespace Clock
