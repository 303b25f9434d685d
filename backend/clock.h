#pragma once

#include <QDateTime>
#include <QtGlobal>

// The one place where the program reads the time. Freshness (60 s), reconnect
// delays (10 s), time-outs (5 s) and retention spans (days) all go through it,
// so that tests can move time forward instead of waiting for it.
namespace Clock {

// Wall clock: the instant stamped on history rows and shown on screen.
qint64 currentMSecsSinceEpoch();
qint64 currentSecsSinceEpoch();
QDateTime currentDateTimeUtc();

// Monotonic milliseconds, for ages and elapsed times, counting the time the
// computer was suspended.
qint64 monotonicMs();

// A timer interval as the program should use it. Normally the interval
// itself; scaled when a test or a soak run shortens delays, then never below
// 1 ms nor beyond INT_MAX (0, "at once", stays 0).
int interval(int ms);

// --- controls for tests, benchmarks and soak runs ---
// Moves both clocks forward (or back) by ms.
void advance(qint64 ms);
// Sets the wall clock alone forward (or back) by ms, as a time server or a
// GPS correcting the computer's clock does.
void stepWallClock(qint64 ms);
// Freezes the wall clock at the given instant (ms since the epoch); the
// monotonic clock keeps running. A negative value unfreezes it.
void setWallClock(qint64 msSinceEpoch);
// Multiplies every interval() by factor (1.0 restores real time).
void setIntervalScale(double factor);
// The factor that soak runs and tests give the program in the environment
// variable QUILLMERE_INTERVAL_SCALE, if any: a finite number from 0.001 to
// 1000, else ignored with a line.
void readIntervalScale();
// Back to the real clocks.
void reset();

} // namespace Clock

// How long ago something happened, on the monotonic clock above (the
// per-source pressure age of the back end).
class AgeTimer
{
public:
    void start() { m_start = Clock::monotonicMs(); m_valid = true; }
    void invalidate() { m_valid = false; }
    bool isValid() const { return m_valid; }
    qint64 elapsed() const { return m_valid ? Clock::monotonicMs() - m_start : 0; }

private:
    qint64 m_start = 0;
    bool m_valid = false;
};
