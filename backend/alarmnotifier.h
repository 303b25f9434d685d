#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QDBusMessage;
class QDBusPendingCallWatcher;
class StormWarning;

// The alarm where the sailor is not looking at the window: a notification
// of the desktop (the freedesktop notification service on the session bus)
// with the banner's two buttons, the window asking for attention, and the
// chime's lack of a sound output shown on the banner. It follows whatever
// alarm the storm warning raises, of any kind, and answers through the
// warning's own acknowledge and snooze. Main thread only; the notification
// service is never waited for.
//
// One notification per event: shown when the alarm begins, shown again
// (replacing itself) each time the chime repeats, its text kept up to date
// while it is up, and closed once the alarm is acknowledged or clears.
class AlarmNotifier : public QObject
{
    Q_OBJECT
    // False once the chime found no sound output to play on.
    Q_PROPERTY(bool soundOutput READ soundOutput NOTIFY soundOutputChanged)

public:
    explicit AlarmNotifier(StormWarning *warning, QObject *parent = nullptr);
    ~AlarmNotifier() override;

    bool soundOutput() const;

signals:
    void soundOutputChanged();

private slots:
    void slot_actionInvoked(uint id, const QString &action, const QDBusMessage &message);
    void slot_notificationClosed(uint id, uint reason, const QDBusMessage &message);

private:
    // Looks again once control returns to the event loop, when the warning
    // has said all it has to say about this sample.
    void schedule(bool repeat);
    void refresh();
    void notify();
    void close();
    void slot_replied(QDBusPendingCallWatcher *watcher);
    bool ours(uint id, const QDBusMessage &message) const;
    bool reachService();
    void unavailable(const QString &why);
    void askAttention(bool ask);

    QPointer<StormWarning> m_warning;
    bool m_scheduled = false;
    bool m_repeat = false;
    // The alarm wants the sailor (on and not acknowledged), as last seen.
    bool m_wanted = false;
    // The text last sent: the headline's lines, then the tendency.
    QStringList m_content;
    // The service's number for the notification now up (0: none), and the
    // bus name of the service that gave it.
    uint m_id = 0;
    QString m_server;
    bool m_pending = false;
    bool m_resend = false;
    bool m_subscribed = false;
    bool m_warned = false;
};
