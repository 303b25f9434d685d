// Where the values on screen come from and how old they are: a value that
// stopped coming must not look live.
#include "backend.h"

#include <QStringList>
#include <mutex>

namespace {
// Values arrive every second or two; from this age on the age is shown.
constexpr qint64 AgeShownMs = 5000;
// A pressure this old is greyed, well before the 60 s after which it no
// longer counts at all.
constexpr qint64 AgedMs = 30000;
} // namespace

QString BackEnd::originText(int source, qint64 ageMs) const
{
    static const char *const names[SourceCount] = {QT_TR_NOOP("Sensor"), QT_TR_NOOP("Serial"), QT_TR_NOOP("TCP"),
                                                   QT_TR_NOOP("UDP"),    QT_TR_NOOP("NMEA 2000"),
                                                   QT_TR_NOOP("Signal K")};
    const QString name = tr(names[source]);
    if (ageMs < AgeShownMs)
        return name;
    // Seconds for the first two minutes, then minutes, hours and days: a
    // position may be days old, since fixes are kept until withdrawn.
    const qint64 seconds = ageMs / 1000;
    const qint64 minutes = seconds / 60;
    const qint64 hours = minutes / 60;
    const QString age = seconds < 120 ? tr("%1 s").arg(seconds)
        : minutes < 120              ? tr("%1 min").arg(minutes)
        : hours < 48                 ? tr("%1 h").arg(hours)
                                     : tr("%1 d").arg(hours / 24);
    return name + QStringLiteral(" \u00b7 ") + age;
}

void BackEnd::updateOrigins(int pressureSource)
{
    int fixSource = -1;
    qint64 pressureAgeMs = 0;
    qint64 fixAgeMs = 0;
    {
        std::lock_guard<std::mutex> lock(m_sourceMutex);
        if (pressureSource >= 0)
            pressureAgeMs = m_pressureAge[pressureSource].elapsed();
        fixSource = firstFixed(SourceCount);
        if (fixSource >= 0)
            fixAgeMs = m_fixAge[fixSource].elapsed();
    }
    QStringList parts;
    if (pressureSource >= 0)
        parts << tr("Pressure: %1").arg(originText(pressureSource, pressureAgeMs));
    if (fixSource >= 0)
        parts << tr("Position: %1").arg(originText(fixSource, fixAgeMs));
    const QString origins = parts.join(QStringLiteral("   "));
    const bool aged = pressureSource >= 0 && pressureAgeMs >= AgedMs;
    // Told only when it changes: the screens redraw nothing for an age not shown.
    if (origins == m_origins && aged == m_pressureAged)
        return;
    m_origins = origins;
    m_pressureAged = aged;
    emit originsChanged();
}
