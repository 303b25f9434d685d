#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The storm warning: the change of the last three hours in the words of
// marine forecasts, and the alarm on a fall (or a rise) over three hours or
// a glass below the sailor's low limit. The sample cycle feeds it after each
// recorded sample; the screens only show what it says. Main thread only.
//
// The alarm arms once the history reaches back an hour, fires when a limit
// is reached, and clears only once the value is back a whole hPa inside it,
// so that a reading hovering at the limit does not chatter. The chime sounds
// when it fires and every minute after until the alarm is acknowledged, or
// not before the end of a snooze.
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
    // At every tick of the sample cycle, also without a pressure.
    void tick();

    Q_INVOKABLE void acknowledge();
    Q_INVOKABLE void snooze(int minutes);

    QString tendency() const { return m_tendency; }
    bool isActive() const;
    QString headline() const { return m_headline; }
    bool isAcknowledged() const { return m_acknowledged; }
    QString snoozeText() const { return m_snoozeText; }

signals:
    void changed();

private:
    enum Kind { Fall, Rise, Low, KindCount };
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

    QString tendencyText(int change, bool estimate) const;
    // excess: how far, in tenths of hPa, the sample lies beyond the limit.
    void judge(Kind kind, bool enabled, int excess, const Sample &sample);
    void begin(Kind kind, const Sample &sample);
    void quieten();
    void sound();
    void publish();

    Alarm m_alarms[KindCount];
    bool m_acknowledged = false;
    qint64 m_lastSoundMs = 0;
    qint64 m_snoozeEndMs = 0;
    qint64 m_snoozeEndTime = 0;
    QString m_tendency;
    QString m_headline;
    QString m_snoozeText;
    QStringList m_published;
};
