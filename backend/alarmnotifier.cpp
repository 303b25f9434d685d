#include "alarmnotifier.h"

#include "alarmsound.h"
#include "stormwarning.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QWindow>
#include <QtDebug>

namespace {
const char *const Service = "org.freedesktop.Notifications";
const char *const Path = "/org/freedesktop/Notifications";
const char *const ApplicationName = "Quillmere";
const char *const AcknowledgeAction = "acknowledge";
const char *const SnoozeAction = "snooze";
constexpr int SnoozeMinutes = 30;
// The urgency hint of the notification protocol, a byte: critical
// notifications stay up until the sailor answers them.
constexpr uchar Critical = 2;

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

QDBusMessage serviceCall(const char *method)
{
    return QDBusMessage::createMethodCall(QLatin1String(Service), QLatin1String(Path), QLatin1String(Service),
                                          QLatin1String(method));
}
} // namespace

AlarmNotifier::AlarmNotifier(StormWarning *warning, QObject *parent)
    : QObject(parent)
    , m_warning(warning)
{
    connect(warning, &StormWarning::changed, this, [this] { schedule(false); });
    connect(AlarmSound::instance(), &AlarmSound::chimed, this, [this] { schedule(true); });
    connect(AlarmSound::instance(), &AlarmSound::outputChanged, this, &AlarmNotifier::soundOutputChanged);
}

AlarmNotifier::~AlarmNotifier()
{
    // A notification left behind would offer buttons that nothing answers.
    close();
}

bool AlarmNotifier::soundOutput() const
{
    return AlarmSound::hasOutput();
}

void AlarmNotifier::schedule(bool repeat)
{
    m_repeat = m_repeat || repeat;
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &AlarmNotifier::refresh, Qt::QueuedConnection);
}

void AlarmNotifier::refresh()
{
    m_scheduled = false;
    const bool repeat = std::exchange(m_repeat, false);
    const bool wanted = m_warning && m_warning->isActive() && !m_warning->isAcknowledged();
    if (!wanted) {
        if (m_wanted)
            askAttention(false);
        m_wanted = false;
        m_content.clear();
        close();
        return;
    }
    const bool begins = !m_wanted;
    m_wanted = true;
    askAttention(true);
    QStringList content = m_warning->headline().split(QLatin1Char('\n'));
    content << m_warning->tendency();
    content.removeAll(QString());
    // A change of text alone updates a notification still up, and never
    // brings back one that the sailor put away.
    const bool changed = content != m_content;
    m_content = content;
    if (begins || repeat || (changed && m_id != 0))
        notify();
}

void AlarmNotifier::notify()
{
    if (m_pending) {
        m_resend = true;
        return;
    }
    if (!reachService())
        return;
    QDBusMessage call = serviceCall("Notify");
    const QStringList actions = {QLatin1String(AcknowledgeAction), tr("Acknowledge"), QLatin1String(SnoozeAction),
                                 tr("Snooze 30 min")};
    const QVariantMap hints = {{QStringLiteral("urgency"), QVariant::fromValue(Critical)}};
    call << QLatin1String(ApplicationName) << m_id << QString() << m_content.value(0)
         << m_content.mid(1).join(QLatin1Char('\n')) << actions << hints << 0;
    m_pending = true;
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &AlarmNotifier::slot_replied);
}

void AlarmNotifier::slot_replied(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    m_pending = false;
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        unavailable(reply.error().message());
    } else {
        m_id = reply.value();
        m_server = reply.reply().service();
    }
    // What happened meanwhile: the alarm answered, or more to say.
    if (!m_wanted)
        close();
    else if (std::exchange(m_resend, false))
        notify();
}

void AlarmNotifier::close()
{
    if (m_id == 0)
        return;
    QDBusMessage call = serviceCall("CloseNotification");
    call << m_id;
    bus().send(call);
    m_id = 0;
}

bool AlarmNotifier::reachService()
{
    QDBusConnection connection = bus();
    if (!connection.isConnected()) {
        unavailable(connection.lastError().message());
        return false;
    }
    // From any sender: the service's replies say which one is ours.
    if (!m_subscribed) {
        m_subscribed = true;
        connection.connect(QString(), QLatin1String(Path), QLatin1String(Service), QStringLiteral("ActionInvoked"),
                           this, SLOT(slot_actionInvoked(uint, QString, QDBusMessage)));
        connection.connect(QString(), QLatin1String(Path), QLatin1String(Service),
                           QStringLiteral("NotificationClosed"), this,
                           SLOT(slot_notificationClosed(uint, uint, QDBusMessage)));
    }
    return true;
}

void AlarmNotifier::unavailable(const QString &why)
{
    // Once: the banner and the chime carry on without it.
    if (!std::exchange(m_warned, true))
        qWarning() << "no notification service" << why;
}

bool AlarmNotifier::ours(uint id, const QDBusMessage &message) const
{
    return id != 0 && id == m_id && message.service() == m_server;
}

void AlarmNotifier::slot_actionInvoked(uint id, const QString &action, const QDBusMessage &message)
{
    if (!ours(id, message) || !m_warning)
        return;
    if (action == QLatin1String(AcknowledgeAction))
        m_warning->acknowledge();
    else if (action == QLatin1String(SnoozeAction))
        m_warning->snooze(SnoozeMinutes);
}

void AlarmNotifier::slot_notificationClosed(uint id, uint reason, const QDBusMessage &message)
{
    Q_UNUSED(reason)
    if (ours(id, message))
        m_id = 0;
}

void AlarmNotifier::askAttention(bool ask)
{
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible())
            continue;
        // Until the window is next active; Qt offers no public way to take
        // back an alert without a time limit but the slot its own timed
        // alerts end with.
        if (ask)
            window->alert(0);
        else
            QMetaObject::invokeMethod(window, "_q_clearAlert");
    }
}
