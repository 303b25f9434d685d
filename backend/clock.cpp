#include "clock.h"

#include <QtDebug>

#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace {
std::atomic<qint64> s_offsetMs{0};
std::atomic<qint64> s_wallStepMs{0};
std::atomic<qint64> s_frozenWallMs{-1};
std::atomic<double> s_intervalScale{1.0};

// Below this the sample cycle spins (samples a millisecond apart colliding in
// the store, workers never waited for); above it nothing ever happens.
constexpr double MinimumScale = 0.001;
constexpr double MaximumScale = 1000.0;
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
    if (scale == 1.0 || ms <= 0)
        return ms;
    // In 64 bits: days at a large scale must not wrap round to a negative
    // interval, nor a short one vanish to 0 ms (a busy loop).
    const qint64 scaled = std::llround(double(ms) * scale);
    return int(qBound<qint64>(1, scaled, std::numeric_limits<int>::max()));
}

void advance(qint64 ms) { s_offsetMs += ms; }
void stepWallClock(qint64 ms) { s_wallStepMs += ms; }
void setWallClock(qint64 msSinceEpoch) { s_frozenWallMs = msSinceEpoch < 0 ? -1 : msSinceEpoch; }
void setIntervalScale(double factor) { s_intervalScale = factor > 0.0 ? factor : 1.0; }

void readIntervalScale()
{
    if (!qEnvironmentVariableIsSet("QUILLMERE_INTERVAL_SCALE"))
        return;
    const QString text = qEnvironmentVariable("QUILLMERE_INTERVAL_SCALE");
    bool ok = false;
    const double factor = text.toDouble(&ok);
    if (!ok || !std::isfinite(factor) || factor < MinimumScale || factor > MaximumScale) {
        qWarning() << "QUILLMERE_INTERVAL_SCALE ignored:" << text;
        return;
    }
    setIntervalScale(factor);
    if (factor != 1.0)
        qWarning() << "interval scale" << factor;
}

void reset()
{
    s_offsetMs = 0;
    s_wallStepMs = 0;
    s_frozenWallMs = -1;
    s_intervalScale = 1.0;
}

} // namespace Clock
