#include "stormwarning.h"

#include "alarmsound.h"
#include "backend.h"
#include "clock.h"
#include "datasource.h"
#include "formatting.h"

#include <QDateTime>
#include <QtDebug>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// The rule counts in tenths of hPa, the resolution of the forecast bands:
// an alarm clears only a whole hPa inside its limit.
constexpr int Hysteresis = 10;
constexpr qint64 RepeatMs = 60000;
// No pressure for this long, with an instrument set up: the glass is not
// being watched.
constexpr qint64 LostAfterMs = 120000;
// An alarm in force when the program stopped goes on at the next start if
// the record reaches this close to now.
constexpr qint64 ResumeWithinS = 10800;
const char *const KindNames[] = {"fall", "rise", "low", "lost"};

int tenths(double hpa)
{
    return int(std::lround(hpa * 10.0));
}

QVariant setting(const char *key, const QVariant &defaultValue)
{
    return g_backEnd->getSetting(QLatin1String(key), defaultValue);
}

bool switchedOn(const char *key, int defaultValue)
{
    return setting(key, defaultValue).toInt() == 1;
}

// A change over three hours of at least a whole hPa, so that clearing a
// whole hPa inside it stays on the same side of steady.
int changeLimit(const char *key)
{
    return std::max(Hysteresis, tenths(setting(key, 4.5).toDouble()));
}

QString timeText(qint64 secs)
{
    return Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(secs, Qt::UTC));
}
} // namespace

StormWarning::StormWarning(QObject *parent)
    : QObject(parent)
{
}

bool StormWarning::isActive() const
{
    return std::any_of(std::begin(m_alarms), std::end(m_alarms), [](const Alarm &a) { return a.active; });
}

void StormWarning::update(double measured, double shown)
{
    if (!g_dataSource)
        return;
    resume();
    const DataSource::TendencyReferences references = g_dataSource->tendencyReferences();
    Sample sample;
    sample.time = references.sampleTime;
    sample.shown = shown;
    if (references.threeHours) {
        sample.armed = true;
        sample.change = tenths(measured - references.threeHoursPressure);
        m_tendency = tendencyText(sample.change, false, references.threeHoursTwoInstruments);
    } else if (!references.nearThreeHours && references.hour) {
        // The history does not reach back three hours: the last hour's
        // change times three.
        sample.armed = true;
        sample.change = tenths((measured - references.hourPressure) * 3.0);
        m_tendency = tendencyText(sample.change, true, references.hourTwoInstruments);
    } else if (!references.nearThreeHours) {
        m_tendency.clear();
    }
    // In a short hole three hours back the alarm and its words hold as they
    // are: the estimate would chatter against the real change on each side.
    if (sample.armed)
        m_lastChange = sample.change / 10.0;
    m_lastShown = shown;

    const bool wasActive = isActive();
    const bool on = switchedOn("alarmOn", 1);
    judge(Fall, on, -sample.change - changeLimit("alarmFall"), sample);
    judge(Rise, on && switchedOn("alarmRiseOn", 0), sample.change - changeLimit("alarmRise"), sample);
    judge(Low, on && switchedOn("alarmLowOn", 0), tenths(setting("alarmLow", 990.0).toDouble()) - tenths(shown),
          sample);
    quietenIfOver(wasActive);
    publish();
}

void StormWarning::judge(Kind kind, bool enabled, int excess, const Sample &sample)
{
    const bool active = m_alarms[kind].active;
    if (!enabled) {
        if (active)
            end(kind, sample.time);
    } else if (!sample.armed) {
        return; // nothing to judge by: an alarm stays as it is
    } else if (!active && excess >= 0) {
        begin(kind, sample.time);
    } else if (active && excess <= -Hysteresis) {
        end(kind, sample.time);
    }
}

void StormWarning::judgeLost()
{
    const qint64 nowMs = Clock::monotonicMs();
    const qint64 now = Clock::currentSecsSinceEpoch();
    const bool wasActive = isActive();
    if (g_backEnd->hasCurrentPressure()) {
        m_noneSinceMs = -1;
        if (m_alarms[Lost].active)
            end(Lost, now);
    } else {
        if (m_noneSinceMs < 0) {
            m_noneSinceMs = nowMs;
            m_noneSinceTime = now;
        }
        const bool enabled = switchedOn("alarmLostOn", 1) && g_backEnd->hasPressureSource();
        if (!enabled && m_alarms[Lost].active)
            end(Lost, now);
        else if (enabled && !m_alarms[Lost].active && nowMs - m_noneSinceMs >= LostAfterMs)
            begin(Lost, m_noneSinceTime);
    }
    quietenIfOver(wasActive);
}

void StormWarning::begin(Kind kind, qint64 start)
{
    m_alarms[kind] = {true, start};
    // A new alarm wants the sailor's attention again.
    m_acknowledged = false;
    m_snoozeEndMs = 0;
    qWarning() << "storm warning begins" << KindNames[kind] << m_lastChange.toDouble() << m_lastShown.toDouble();
    if (g_dataSource)
        g_dataSource->recordAlarm(start, QLatin1String(KindNames[kind]), m_lastChange, m_lastShown);
    sound();
}

void StormWarning::end(Kind kind, qint64 when)
{
    m_alarms[kind].active = false;
    qWarning() << "storm warning clears" << KindNames[kind];
    if (g_dataSource)
        g_dataSource->clearAlarm(m_alarms[kind].start, QLatin1String(KindNames[kind]), when);
}

void StormWarning::resume()
{
    if (m_resumed || !g_dataSource)
        return;
    m_resumed = true;
    const qint64 now = Clock::currentSecsSinceEpoch();
    const qint64 newest = g_dataSource->newestSampleTime();
    bool acknowledged = true;
    qint64 snoozedUntil = -1;
    for (const DataSource::OpenAlarm &open : g_dataSource->openAlarms()) {
        const int kind = int(std::find(std::begin(KindNames), std::end(KindNames), open.kind) - std::begin(KindNames));
        if (kind >= KindCount)
            continue;
        if (now - newest >= ResumeWithinS) {
            // The record stops too long ago to tell whether it still holds.
            g_dataSource->clearAlarm(open.start, open.kind, std::max(newest, open.start));
            continue;
        }
        qWarning() << "storm warning resumed" << open.kind << open.start;
        m_alarms[kind] = {true, open.start};
        acknowledged = acknowledged && open.acknowledged;
        // The newest alarm's snooze is the one that ran (a new alarm ends it).
        if (snoozedUntil < 0)
            snoozedUntil = open.snoozedUntil;
    }
    if (!isActive())
        return;
    m_acknowledged = acknowledged;
    if (!acknowledged && snoozedUntil > now) {
        m_snoozeEndMs = Clock::monotonicMs() + (snoozedUntil - now) * 1000;
        m_snoozeEndTime = snoozedUntil;
    }
    publish();
}

void StormWarning::quietenIfOver(bool wasActive)
{
    if (wasActive && !isActive())
        quieten();
}

void StormWarning::quieten()
{
    AlarmSound::stop();
    m_acknowledged = false;
    m_snoozeEndMs = 0;
}

void StormWarning::tick()
{
    resume();
    judgeLost();
    publish();
    if (!isActive() || m_acknowledged)
        return;
    const qint64 now = Clock::monotonicMs();
    if (m_snoozeEndMs != 0) {
        if (now < m_snoozeEndMs)
            return;
        m_snoozeEndMs = 0;
        sound();
        publish();
    } else if (now - m_lastSoundMs >= RepeatMs) {
        sound();
    }
}

void StormWarning::sound()
{
    AlarmSound::play();
    m_lastSoundMs = Clock::monotonicMs();
}

void StormWarning::acknowledge()
{
    if (!isActive() || m_acknowledged)
        return;
    m_acknowledged = true;
    m_snoozeEndMs = 0;
    AlarmSound::stop();
    const qint64 now = Clock::currentSecsSinceEpoch();
    qWarning() << "storm warning acknowledged";
    for (int kind = 0; kind < KindCount; ++kind) {
        if (m_alarms[kind].active && g_dataSource)
            g_dataSource->acknowledgeAlarm(m_alarms[kind].start, QLatin1String(KindNames[kind]), now);
    }
    publish();
}

void StormWarning::snooze(int minutes)
{
    if (!isActive() || m_acknowledged || minutes <= 0)
        return;
    // The screens offer 30, 60 and 120 minutes; never more than a day.
    const qint64 ms = qint64(std::min(minutes, 24 * 60)) * 60000;
    m_snoozeEndMs = Clock::monotonicMs() + ms;
    m_snoozeEndTime = Clock::currentSecsSinceEpoch() + ms / 1000;
    AlarmSound::stop();
    for (int kind = 0; kind < KindCount; ++kind) {
        if (m_alarms[kind].active && g_dataSource)
            g_dataSource->snoozeAlarm(m_alarms[kind].start, QLatin1String(KindNames[kind]), m_snoozeEndTime);
    }
    publish();
}

QString StormWarning::tendencyText(int change, bool estimate, bool twoInstruments) const
{
    // The bands of marine forecasts for the three-hour tendency, in tenths
    // of hPa: steady under 0.1, slowly up to 1.5, plain up to 3.5, quickly
    // up to 6.0, very rapidly beyond.
    static const char *const rising[] = {QT_TR_NOOP("Steady"), QT_TR_NOOP("Rising slowly"), QT_TR_NOOP("Rising"),
                                         QT_TR_NOOP("Rising quickly"), QT_TR_NOOP("Rising very rapidly")};
    static const char *const falling[] = {QT_TR_NOOP("Steady"), QT_TR_NOOP("Falling slowly"), QT_TR_NOOP("Falling"),
                                          QT_TR_NOOP("Falling quickly"), QT_TR_NOOP("Falling very rapidly")};
    const int size = std::abs(change);
    const int band = size < 1 ? 0 : size <= 15 ? 1 : size <= 35 ? 2 : size <= 60 ? 3 : 4;
    // Two instruments rarely agree to a hPa: a step of unknown size between
    // them weighs more than an estimate.
    const QString pattern = twoInstruments ? tr("%1: %2 in 3 h (two instruments)")
        : estimate                         ? tr("%1: %2 in 3 h (estimate from 1 h)")
                                           : tr("%1: %2 in 3 h");
    return pattern.arg(tr(change < 0 ? falling[band] : rising[band]), Formatting::formatChange(change / 10.0, true));
}

void StormWarning::publish()
{
    static const char *const headlines[] = {
        QT_TR_NOOP("Storm warning since %1"), QT_TR_NOOP("Rapid rise warning since %1"),
        QT_TR_NOOP("Low pressure warning since %1"), QT_TR_NOOP("No pressure since %1")};
    QStringList lines;
    for (int kind = 0; kind < KindCount; ++kind) {
        if (m_alarms[kind].active)
            lines << tr(headlines[kind]).arg(timeText(m_alarms[kind].start));
    }
    m_headline = lines.join(QLatin1Char('\n'));
    m_snoozeText = m_snoozeEndMs != 0 ? tr("Snoozed until %1").arg(timeText(m_snoozeEndTime)) : QString();
    // The last words stay on the banner, saying how old they are.
    m_shownTendency = m_noneSinceMs >= 0 && !m_tendency.isEmpty()
        ? tr("%1 (not current since %2)").arg(m_tendency, timeText(m_noneSinceTime))
        : m_tendency;
    const QStringList state = {m_shownTendency, m_headline, m_snoozeText, QString::number(m_acknowledged)};
    if (state != m_published) {
        m_published = state;
        emit changed();
    }
}
