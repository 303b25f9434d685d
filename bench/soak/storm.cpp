// soak_storm: days of the storm warning in one process, the clock seam moved
// 2 s a tick. The sample cycle records into a fresh history and feeds the
// rule as the running program does; the weather brings a depression every
// 36 hours (14 hPa down in 6 h, back up in 12 h), the program is stopped and
// started again on the same folder each day at 10:00, and the feed is cut
// for 10 minutes each day at 14:00. A sailor acknowledges each alarm 5
// minutes after it begins. Prints the alarm log's rows per event, the chimes
// per event and the resident memory at the start and the end.
//
// Usage: soak_storm [days]   (default 4)
#include "alarmsound.h"
#include "backend.h"
#include "clock.h"
#include "datasource.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <cmath>
#include <cstdio>

namespace {

const qint64 T0 = 1700000000 - 1700000000 % 86400; // a midnight, UTC
constexpr qint64 Day = 86400;
constexpr qint64 DepressionEvery = 36 * 3600;
constexpr qint64 DepressionStart = 6 * 3600; // from the first midnight
constexpr qint64 RestartAt = 10 * 3600;      // of every day
constexpr qint64 OutageAt = 14 * 3600;
constexpr qint64 OutageLength = 600;
constexpr qint64 AcknowledgeAfter = 300;

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double smoothstep(double x)
{
    x = std::min(1.0, std::max(0.0, x));
    return x * x * (3.0 - 2.0 * x);
}

// The glass at a second of the run: fair weather with a small ripple, and
// the depressions.
double pressureAt(qint64 t)
{
    double p = 1015.0 + 0.08 * std::sin(t / 900.0);
    const qint64 since = (t - DepressionStart) % DepressionEvery;
    if (t >= DepressionStart && since < 18 * 3600)
        p -= 14.0 * (since < 6 * 3600 ? smoothstep(since / 21600.0) : 1.0 - smoothstep((since - 21600) / 43200.0));
    return p;
}

int countRows(const QString &sql)
{
    QSqlQuery query(sql, QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
    return query.next() ? query.value(0).toInt() : -1;
}

void start(BackEnd **backend)
{
    *backend = new BackEnd(nullptr);
    g_dataSource = new DataSource();
}

void stop(BackEnd **backend)
{
    delete g_dataSource;
    g_dataSource = nullptr;
    QSqlDatabase::removeDatabase(QStringLiteral("DB_BAROGRAPH"));
    delete *backend;
    *backend = nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    // The desktop's own notification service is not the soak's to reach.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    QCoreApplication app(argc, argv);
    const int days = argc > 1 ? std::max(1, atoi(argv[1])) : 4;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    QTemporaryDir dir((QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                          : QDir::tempPath())
                      + QStringLiteral("/soak-storm-XXXXXX"));
    QDir::setCurrent(dir.path());
    {
        // The UDP input set up (on a port free a moment ago, on loopback) makes
        // the lost instrument's alarm armed; the soak feeds the TCP slot.
        QUdpSocket probe;
        probe.bind(QHostAddress(QHostAddress::LocalHost));
        QSettings ini(QStringLiteral("barograph.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        ini.setValue(QStringLiteral("SettingUsePos"), 0);
        ini.setValue(QStringLiteral("SettingUseUdp"), 1);
        ini.setValue(QStringLiteral("SettingUdpPort"), probe.localPort());
    }
    int chimes = 0;
    AlarmSound::setPlayer([&chimes](bool play) { chimes += play ? 1 : 0; });
    Clock::setWallClock(T0 * 1000);

    BackEnd *backend = nullptr;
    start(&backend);
    long rssStart = 0;
    int depressions = 0;
    int outages = 0;
    int restarts = 0;
    int tick = 768;
    qint64 alarmSince = -1; // an alarm not acknowledged yet, since then
    QElapsedTimer wall;
    wall.start();
    for (qint64 t = 0; t < days * Day; t += 2) {
        const qint64 ofDay = t % Day;
        if (ofDay == RestartAt) {
            stop(&backend);
            start(&backend);
            ++restarts;
        }
        if ((t - DepressionStart) % DepressionEvery == 0 && t >= DepressionStart)
            ++depressions;
        outages += ofDay == OutageAt;
        if (ofDay < OutageAt || ofDay >= OutageAt + OutageLength)
            backend->setPressure(pressureAt(t), SourceTcp);
        backend->takeSample(tick);
        tick = tick + 2 > 768 ? 0 : tick + 2;
        StormWarning *warning = backend->stormWarning();
        // The sailor comes to the chart table five minutes after an alarm.
        alarmSince = warning->isActive() && !warning->isAcknowledged() ? (alarmSince < 0 ? t : alarmSince) : -1;
        if (alarmSince >= 0 && t - alarmSince >= AcknowledgeAfter)
            warning->acknowledge();
        Clock::advance(2000);
        if (t == 3600)
            rssStart = residentKb();
    }
    const long rssEnd = residentKb();
    const int falls = countRows(QStringLiteral("SELECT COUNT(*) FROM ALARMS WHERE KIND = 'fall'"));
    const int lost = countRows(QStringLiteral("SELECT COUNT(*) FROM ALARMS WHERE KIND = 'lost'"));
    const int others = countRows(QStringLiteral("SELECT COUNT(*) FROM ALARMS WHERE KIND NOT IN ('fall', 'lost')"));
    const int open = countRows(QStringLiteral("SELECT COUNT(*) FROM ALARMS WHERE CLEARED IS NULL"));
    stop(&backend);

    print("soak_storm_days", days, "days");
    print("soak_storm_restarts", restarts, "restarts");
    print("soak_storm_depressions", depressions, "events");
    print("soak_storm_outages", outages, "events");
    print("soak_storm_fall_rows_per_depression", depressions ? double(falls) / depressions : 0.0, "rows");
    print("soak_storm_lost_rows_per_outage", outages ? double(lost) / outages : 0.0, "rows");
    print("soak_storm_other_rows", others, "rows");
    print("soak_storm_rows_in_force_at_end", open, "rows");
    print("soak_storm_chimes_per_event", (depressions + outages) ? double(chimes) / (depressions + outages) : 0.0,
          "chimes");
    print("soak_storm_rss_start", rssStart, "kB");
    print("soak_storm_rss_end", rssEnd, "kB");
    print("soak_storm_run_time", wall.elapsed() / 1000.0, "s");
    return 0;
}
