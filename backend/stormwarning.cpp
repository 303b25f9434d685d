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
const char *const KindNames[] = {"fall", "rise", "low"};

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
    const DataSource::TendencyReferences references = g_dataSource->tendencyReferences();
    // Over three hours, or while the history reaches back only an hour (or
    // has a gap three hours back), the last hour's change times three.
    Sample sample;
    sample.time = references.sampleTime;
    sample.armed = references.threeHours || references.hour;
    if (references.threeHours)
        sample.change = tenths(measured - references.threeHoursPressure);
    else if (references.hour)
        sample.change = tenths((measured - references.hourPressure) * 3.0);
    sample.shown = shown;
    m_tendency = sample.armed ? tendencyText(sample.change, !references.threeHours) : QString();

    const bool wasActive = isActive();
    const bool on = switchedOn("alarmOn", 1);
    judge(Fall, on, -sample.change - changeLimit("alarmFall"), sample);
    judge(Rise, on && switchedOn("alarmRiseOn", 0), sample.change - changeLimit("alarmRise"), sample);
    judge(Low, on && switchedOn("alarmLowOn", 0), tenths(setting("alarmLow", 990.0).toDouble()) - tenths(shown),
          sample);
    if (wasActive && !isActive())
        quieten();
    publish();
}

void StormWarning::judge(Kind kind, bool enabled, int excess, const Sample &sample)
{
    Alarm &alarm = m_alarms[kind];
    if (!enabled)
        alarm.active = false;
    else if (!sample.armed)
        return; // nothing to judge by: an alarm stays as it is
    else if (!alarm.active && excess >= 0)
        begin(kind, sample);
    else if (alarm.active && excess <= -Hysteresis)
        alarm.active = false;
}

void StormWarning::begin(Kind kind, const Sample &sample)
{
    m_alarms[kind] = {true, sample.time};
    // A new alarm wants the sailor's attention again.
    m_acknowledged = false;
    m_snoozeEndMs = 0;
    const double change = sample.change / 10.0;
    qWarning() << "storm warning begins" << KindNames[kind] << change << sample.shown;
    g_dataSource->recordAlarm(sample.time, QLatin1String(KindNames[kind]), change, sample.shown);
    sound();
}

void StormWarning::quieten()
{
    AlarmSound::stop();
    m_acknowledged = false;
    m_snoozeEndMs = 0;
}

void StormWarning::tick()
{
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
    publish();
}

QString StormWarning::tendencyText(int change, bool estimate) const
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
    const int unit = setting("unitPre", 0).toInt();
    // Hundredths where a tenth of hPa would vanish in the unit.
    const int decimals = unit == Formatting::UnitKpa || unit == Formatting::UnitInHg ? 2 : 1;
    const QString sign = change > 0 ? QStringLiteral("+") : change < 0 ? QString(QChar(0x2212)) : QString();
    const QString amount = sign + Formatting::fixedLocalized(Formatting::hpaToUnit(size / 10.0, unit), decimals)
        + Formatting::unitSuffix(unit);
    const QString pattern = estimate ? tr("%1: %2 in 3 h (estimate from 1 h)") : tr("%1: %2 in 3 h");
    return pattern.arg(tr(change < 0 ? falling[band] : rising[band]), amount);
}

void StormWarning::publish()
{
    static const char *const headlines[] = {QT_TR_NOOP("Storm warning since %1"),
                                            QT_TR_NOOP("Rapid rise warning since %1"),
                                            QT_TR_NOOP("Low pressure warning since %1")};
    QStringList lines;
    for (int kind = 0; kind < KindCount; ++kind) {
        if (m_alarms[kind].active)
            lines << tr(headlines[kind]).arg(timeText(m_alarms[kind].start));
    }
    m_headline = lines.join(QLatin1Char('\n'));
    m_snoozeText = m_snoozeEndMs != 0 ? tr("Snoozed until %1").arg(timeText(m_snoozeEndTime)) : QString();
    const QStringList state = {m_tendency, m_headline, m_snoozeText, QString::number(m_acknowledged)};
    if (state != m_published) {
        m_published = state;
        emit changed();
    }
}
