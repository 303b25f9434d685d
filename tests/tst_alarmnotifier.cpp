// The alarm off the screen, the window minimised: the desktop's notification, answered by a notification service of
// the test's own on a session bus of its own, and the banner's word when the chime has no sound output.
#include "alarmsound.h"
#include "screenharness.h"

#include <QDBusConnection>
#include <QSqlQuery>
#include <QtTest>

using namespace TestSupport;

// The notification service as the program uses it; each call recorded as one line.
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList calls;

public slots:
    uint Notify(const QString &app, uint replaces, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        calls << QString("%1 replaces %2 | %3 | %4 | %5 | urgency %6 %7").arg(app).arg(replaces).arg(summary, body,
                 actions.join(','), hints.value("urgency").typeName()).arg(hints.value("urgency").toInt());
        return replaces ? replaces : uint(calls.size());
    }
    void CloseNotification(uint id) { calls << QString("close %1").arg(id); }

signals:
    void ActionInvoked(uint id, const QString &action);
};

class TestAlarmNotifier : public QObject
{
    Q_OBJECT

private slots:
    void offTheScreen()
    {
        if (!onOwnSessionBus()) {
            QString why;
            const int status = runOnOwnSessionBus("offTheScreen", &why);
            if (status == -1)
                QSKIP(qPrintable(why));
            QCOMPARE(status, 0);
            return;
        }
        QStringList sounds;
        AlarmSound::setPlayer([&sounds](bool play) { sounds << QString(play ? "play" : "stop"); });
        ScreenHarness::registerTypes();
        Clock::setIntervalScale(1000.0); // the test turns the sample cycle itself
        Clock::setWallClock(1700000000000);
        MessageLog log;
        ScreenHarness screen({{"timeZone", 0}});
        QVERIFY(screen.waitExposed());
        screen.window()->showMinimized();
        const auto repeat = [] { Clock::advance(61000); g_backEnd->slot_timerData(); };

        // A fall of 6 hPa and no service on the bus: one warning, and the alarm goes on.
        insertHistoryRow("BARO3H", 1700000000 - 10800, 1013.0);
        g_backEnd->setPressure(1007.0, SourceTcp);
        g_backEnd->slot_timerData();
        QTRY_VERIFY(log.contains("no notification service"));
        QQuickItem *noSound = ScreenHarness::findItem(screen.window()->contentItem(), "alarmNoSound");
        QVERIFY(!noSound->isVisible());
        AlarmSound::reportOutput(false);
        QVERIFY(noSound->isVisible());
        QCOMPARE(noSound->property("text").toString(), "no sound output");

        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "service");
        NotificationService service;
        QVERIFY(bus.registerObject("/org/freedesktop/Notifications", &service,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(bus.registerService("org.freedesktop.Notifications"));
        repeat();
        QTRY_COMPARE(service.calls.size(), 1);
        repeat();
        // No pressure came since the first sample: the tendency says so.
        const QString shown = " | Storm warning since 22:13:20 (UTC) 14 Nov 2023 | Falling quickly: −6.0 mb in 3 h"
                              " (not current since 22:14:21 (UTC) 14 Nov 2023)"
                              " | acknowledge,Acknowledge,snooze,Snooze 30 min | urgency uchar 2";
        QTRY_COMPARE(service.calls, QStringList({"Quillmere replaces 0" + shown, "Quillmere replaces 1" + shown}));

        emit service.ActionInvoked(1, "acknowledge");
        QTRY_COMPARE(service.calls.last(), QString("close 1"));
        QCOMPARE(sounds, QStringList({"play", "play", "play", "stop"}));
        QSqlQuery ack("SELECT ACK FROM ALARMS", QSqlDatabase::database("DB_BAROGRAPH"));
        QVERIFY(ack.next() && ack.value(0).toLongLong() > 1700000000);
        QCOMPARE(log.count("no notification service"), 1);
    }
};

QTEST_MAIN(TestAlarmNotifier)
#include "tst_alarmnotifier.moc"
