#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

// The storm warning: the change of the last three hours in the words of
// marine forecasts, and the alarm on a fall (or a rise) over three hours or
// a glass below the sailor's low limit. The sample cycle feeds it after each
// recorded sample; the screens only show what it says. Main thread only.
//
// The alarm arms once the history reaches back an hour, fires when a limit
// is reached, and clears only once the value is back a whole hPa inside it,
// so that a reading hovering at the limit does not chatter. A short hole in
// the record three hours back leaves it as it is. The chime sounds when it
// fires and every minute after until the alarm is acknowledged, or not
// before the end of a snooze. A lost instrument is an alarm of its own. The
// alarm log keeps every alarm's course, and an alarm in force when the
// program stopped goes on where it was at the next start.
class StormWarning : public QObject
{
    Q_OBJECT
    // "Falling quickly: −4.2 hPa in 3 h"; empty until an hour is recorded.
    Q_PROPERTY(QString tendency READ tendency NOTIFY changed)
    Q_PROPERTY(bool active READ isActive NOTIFY changed)
    // One line per alarm now active, with the time it began.
    Q_PROPERTY(QString headline READ headline NOTIFY changed)
    Q_PROPERTY(bool acknowledged READ isAcknowledged NOTIFY changed)
    // "Snoozed until …" while the chime is snoozed, else empty.
    Q_PROPERTY(QString snoozeText READ snoozeText NOTIFY changed)

public:
    explicit StormWarning(QObject *parent = nullptr);

    // After a sample was recorded: the pressure as measured (what the
    // history holds) and as shown on screen (what the low limit is about),
    // both in hPa.
    void update(double measured, double shown);
    // At every tick of the sample cycle, also without a pressure: the chime
    // and the lost instrument.
    void tick();

    Q_INVOKABLE void acknowledge();
    Q_INVOKABLE void snooze(int minutes);

    QString tendency() const { return m_shownTendency; }
    bool isActive() const;
    QString headline() const { return m_headline; }
    bool isAcknowledged() const { return m_acknowledged; }
    QString snoozeText() const { return m_snoozeText; }

signals:
    void changed();

private:
    enum Kind { Fall, Rise, Low, Lost, KindCount };
    struct Alarm
    {
        bool active = false;
        qint64 start = 0;
    };
    // What one recorded sample tells: its time, the three-hour change in
    // tenths of hPa, whether that change is known (the alarm is armed), and
    // the pressure shown.
    struct Sample
    {
        qint64 time = 0;
        int change = 0;
        bool armed = false;
        double shown = 0.0;
    };

    QString tendencyText(int change, bool estimate, bool twoInstruments) const;
    // excess: how far, in tenths of hPa, the sample lies beyond the limit.
    void judge(Kind kind, bool enabled, int excess, const Sample &sample);
    void judgeLost();
    void begin(Kind kind, qint64 start);
    void end(Kind kind, qint64 when);
    void resume();
    void quietenIfOver(bool wasActive);
    void quieten();
    void sound();
    void publish();

    Alarm m_alarms[KindCount];
    bool m_resumed = false;
    bool m_acknowledged = false;
    // Since when no pressure is current (monotonic, wall), or -1.
    qint64 m_noneSinceMs = -1;
    qint64 m_noneSinceTime = 0;
    // What the last sample said, for the log of an alarm without one.
    QVariant m_lastChange;
    QVariant m_lastShown;
    qint64 m_lastSoundMs = 0;
    qint64 m_snoozeEndMs = 0;
    qint64 m_snoozeEndTime = 0;
    QString m_tendency;
    QString m_shownTendency;
    QString m_headline;
    QString m_snoozeText;
    QStringList m_published;
};
