// bench_idle: what the running barograph costs while it only watches.
//
// The real program runs on its barograph screen with a full 30-minute table,
// fed once a second over TCP on loopback by nmeasim (or, when nmeasim is not
// built, by a small server of this program speaking the same sentences).
// Beside it, in the same run, the floor of the toolkit for the same job: a
// bare Qt Quick window whose one chart series is replaced by 900 points
// every 2 s. Both are measured over the same two minutes: CPU time of the
// whole process per minute, resident memory, wake-ups (voluntary context
// switches of all its threads) per minute, the same per thread, and frames
// rendered per minute (counted from the scene graph's render-loop timing
// lines, one per frame). Then the program's window is unmapped with xdotool,
// as a minimised window is, and measured two more minutes beside the bare
// window still shown; mapped again, it must draw its newest sample. Run it
// under Xvfb.
//
// Prints `name: value unit` lines.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QMap>
#include <QVector>
#include <QtCharts/QXYSeries>
#include <QtMath>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int WarmUpMs = 15000;
// Each phase; `--minutes N` for a quick look while hunting a cause.
double MeasureMinutes = 2.0;
constexpr int TableRows = 900;        // BARO30M: 30 minutes at one row every 2 s
constexpr int FloorIntervalMs = 2000; // the program's sample cycle

void print(const QByteArray &name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name.constData(), value, unit);
    std::fflush(stdout);
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---- the floor: one chart series replaced by 900 points every 2 s ----

class SeriesFiller : public QObject
{
    Q_OBJECT

public slots:
    void fill(QtCharts::QAbstractSeries *series)
    {
        auto *xy = qobject_cast<QtCharts::QXYSeries *>(series);
        if (!xy)
            return;
        ++m_round;
        QVector<QPointF> points(TableRows);
        for (int i = 0; i < TableRows; ++i) {
            const double minutes = -i * 2.0 / 60.0;
            points[i] = QPointF(minutes, 1013.0 + 0.4 * qSin((i + m_round) / 60.0));
        }
        xy->replace(points);
    }

private:
    int m_round = 0;
};

const char *const FloorQml = R"(
import QtQuick 2.15
import QtQuick.Window 2.15
import QtCharts 2.3

Window {
    visible: true
    width: Screen.width * 0.7
    height: Screen.height * 0.7
    ChartView {
        anchors.fill: parent
        antialiasing: true
        legend.visible: false
        ValueAxis { id: axisX; min: -30; max: 0; labelFormat: "%dm"; tickCount: 7 }
        ValueAxis { id: axisY; min: 1012; max: 1014; labelFormat: "%0.2f"; tickCount: 6 }
        SplineSeries { id: series; axisX: axisX; axisYRight: axisY; color: "#E63219"; width: 2 }
        Timer {
            interval: FLOOR_INTERVAL; repeat: true; running: true; triggeredOnStart: true
            onTriggered: filler.fill(series)
        }
    }
}
)";

int runFloor(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SeriesFiller filler;
    QQmlApplicationEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("filler"), &filler);
    engine.loadData(QString::fromLatin1(FloorQml)
                        .replace(QStringLiteral("FLOOR_INTERVAL"), QString::number(FloorIntervalMs))
                        .toUtf8());
    if (engine.rootObjects().isEmpty())
        return 1;
    return app.exec();
}

// ---- the boat: pressure and position once a second over TCP ----

QByteArray sentence(const QByteArray &body)
{
    quint8 sum = 0;
    for (const char c : body)
        sum ^= static_cast<quint8>(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

class Boat : public QObject
{
public:
    bool listen()
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            return false;
        connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *client = m_server.nextPendingConnection())
                m_clients.append(client);
        });
        connect(&m_timer, &QTimer::timeout, this, [this]() { send(); });
        m_timer.start(1000);
        return true;
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    void send()
    {
        ++m_round;
        const double hPa = 1013.2 - 0.002 * m_round;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QByteArray lines = sentence("IIMDA," + QByteArray::number(hPa * 0.0295299830714, 'f', 3) + ",I,"
                                    + QByteArray::number(hPa / 1000.0, 'f', 5) + ",B,,,,,,,,,,,,,,,,");
        lines += sentence("GPRMC," + now.toString(QStringLiteral("HHmmss.00")).toLatin1()
                          + ",A,4730.120,N,00312.450,W,5.2,123.0,"
                          + now.toString(QStringLiteral("ddMMyy")).toLatin1() + ",,,A");
        for (QTcpSocket *client : qAsConst(m_clients))
            client->write(lines);
    }

    QTcpServer m_server;
    QList<QTcpSocket *> m_clients;
    QTimer m_timer;
    int m_round = 0;
};

// ---- the program's state: settings and a full 30-minute table ----

void writeSettings(const QString &dir, quint16 port)
{
    QSettings ini(dir + QStringLiteral("/barograph.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("language"), 0);
    ini.setValue(QStringLiteral("formatMMDD"), 0);
    ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
    ini.setValue(QStringLiteral("SettingUseSerial"), 0);
    ini.setValue(QStringLiteral("SettingUseUdp"), 0);
    ini.setValue(QStringLiteral("SettingUseUdpOut"), 0);
    ini.setValue(QStringLiteral("SettingUseTcp"), 1);
    ini.setValue(QStringLiteral("SettingTcpIpAddress"), QStringLiteral("127.0.0.1"));
    ini.setValue(QStringLiteral("SettingTcpIpPort"), port);
    ini.setValue(QStringLiteral("SettingUsePos"), 1);
    ini.setValue(QStringLiteral("SettingPosSource"), 2);
}

const QStringList TableNames = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D",
                                "BARO2D", "BARO4D", "BARO8D", "BAR16D"};

bool fillHistory(const QString &dir, qint64 now)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(dir + QStringLiteral("/barograph.db"));
        ok = db.open();
        QSqlQuery query(db);
        for (const QString &name : TableNames)
            ok = ok && query.exec(QStringLiteral("CREATE TABLE %1 (TIME INTEGER primary key, LON FLOAT, "
                                                 "LAT FLOAT, COG FLOAT, SOG FLOAT, PRE FLOAT, ELE FLOAT, "
                                                 "OFS FLOAT)").arg(name));
        ok = ok && db.transaction();
        query.prepare(QStringLiteral("INSERT INTO BARO30M VALUES (?, -3.2075, 47.502, 123.0, 5.2, ?, 0, 0)"));
        for (int i = 0; i < TableRows && ok; ++i) {
            query.addBindValue(now - 2 * (TableRows - i));
            query.addBindValue(1012.6 + 0.6 * i / TableRows + 0.05 * qSin(i / 40.0));
            ok = query.exec();
        }
        ok = ok && db.commit();
        if (!ok)
            std::fprintf(stderr, "history: %s\n", qPrintable(db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

int rowsSince(const QString &dir, qint64 since)
{
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(dir + QStringLiteral("/barograph.db"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM BARO30M WHERE TIME >= %1").arg(since))
                && query.next())
                rows = query.value(0).toInt();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return rows;
}

// ---- measuring a process through /proc ----

struct Usage
{
    double cpuSeconds = 0.0;
    double rssMiB = 0.0;
    // By thread id: its name (pooled threads and the rasteriser's share
    // theirs), its voluntary context switches and CPU seconds so far.
    struct Thread
    {
        QByteArray name;
        qint64 switches = 0;
        double cpuSeconds = 0.0;
    };
    QMap<QString, Thread> threads;
    qint64 frames = 0;
};

QByteArray readProc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 statusField(const QByteArray &status, const QByteArray &field)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// utime and stime of a process or thread: fields 14 and 15, counted after
// the command name, which may itself hold blanks.
double cpuSeconds(const QString &base)
{
    const QByteArray stat = readProc(base + QStringLiteral("/stat"));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? (fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK))
                              : 0.0;
}

Usage usage(qint64 pid)
{
    Usage u;
    const QString base = QStringLiteral("/proc/%1").arg(pid);
    u.cpuSeconds = cpuSeconds(base);
    u.rssMiB = statusField(readProc(base + QStringLiteral("/status")), "VmRSS") / 1024.0;
    const QStringList tasks = QDir(base + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        const QString taskBase = base + QStringLiteral("/task/") + task;
        const qint64 switches = statusField(readProc(taskBase + QStringLiteral("/status")), "voluntary_ctxt_switches");
        QByteArray name;
        for (const char c : readProc(taskBase + QStringLiteral("/comm")).trimmed())
            name += QChar::isLetter(c) ? c : '_';
        u.threads.insert(task, {name, switches, cpuSeconds(taskBase)});
    }
    return u;
}

// The scene graph logs one timing line per frame rendered, on its render
// thread (threaded loop) or the main thread (basic loop).
qint64 framesLogged(const QString &log)
{
    return readProc(log).count("qt.scenegraph.time.renderloop: Frame rendered");
}

bool start(QProcess &process, const QString &program, const QStringList &arguments, const QString &dir,
           const QString &log)
{
    process.setWorkingDirectory(dir);
    // One timing line per frame rendered: the frame counter read above.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.scenegraph.time.renderloop.debug=true"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(dir + QLatin1Char('/') + log);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return false;
    }
    return true;
}

// nmeasim when it is built: a TCP server on a free loopback port, at 1 Hz.
// It says "tcp: listening on 127.0.0.1 port N".
bool startNmeasim(QProcess &sim, quint16 *port)
{
    const QString binary = QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim");
    if (!QFileInfo(binary).isExecutable())
        return false;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(binary, {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--rate"),
                       QStringLiteral("1")});
    if (!sim.waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    QByteArray said;
    while (clock.elapsed() < 5000 && sim.state() == QProcess::Running) {
        sim.waitForReadyRead(200);
        said += sim.readAll();
        const QByteArray marker = "tcp: listening on 127.0.0.1 port ";
        const int at = said.indexOf(marker);
        const int end = at < 0 ? -1 : said.indexOf('\n', at);
        if (end > 0) {
            const int value = said.mid(at + marker.size(), end - at - marker.size()).trimmed().toInt();
            if (value > 0 && value < 65536) {
                *port = static_cast<quint16>(value);
                return true;
            }
        }
    }
    sim.kill();
    sim.waitForFinished(2000);
    return false;
}

constexpr int SettleMs = 5000;

// Two readings of both processes, at the start and at the end of a phase.
struct Phase
{
    Usage programStart, programEnd, floorStart, floorEnd;
    double programPeak = 0.0, floorPeak = 0.0;

    static double perMinute(double from, double to) { return (to - from) / MeasureMinutes; }
    double programCpu() const { return perMinute(programStart.cpuSeconds, programEnd.cpuSeconds) * 1000.0; }
    double floorCpu() const { return perMinute(floorStart.cpuSeconds, floorEnd.cpuSeconds) * 1000.0; }
    double programWakeUps() const { return wakeUps(programStart, programEnd).value("all").first; }
    double floorWakeUps() const { return wakeUps(floorStart, floorEnd).value("all").first; }

    // Wake-ups and CPU ms per minute, by thread name and in all. A thread
    // that ended during the phase took its counts with it; one that began
    // counts from nothing.
    static QMap<QByteArray, QPair<double, double>> wakeUps(const Usage &start, const Usage &end)
    {
        QMap<QByteArray, QPair<double, double>> result;
        for (auto it = end.threads.cbegin(); it != end.threads.cend(); ++it) {
            const Usage::Thread before = start.threads.value(it.key());
            const double n = perMinute(before.switches, it.value().switches);
            const double ms = perMinute(before.cpuSeconds, it.value().cpuSeconds) * 1000.0;
            for (const QByteArray &key : {it.value().name, QByteArray("all")}) {
                result[key].first += n;
                result[key].second += ms;
            }
        }
        return result;
    }
};

Usage usage(qint64 pid, const QString &log)
{
    Usage u = usage(pid);
    u.frames = framesLogged(log);
    return u;
}

Phase measure(qint64 program, const QString &programLog, qint64 floor, const QString &floorLog)
{
    Phase phase;
    phase.programStart = usage(program, programLog);
    phase.floorStart = usage(floor, floorLog);
    phase.programPeak = phase.programStart.rssMiB;
    phase.floorPeak = phase.floorStart.rssMiB;
    for (int s = 0; s < MeasureMinutes * 60 - 1; s += 10) {
        wait(10000);
        phase.programPeak = qMax(phase.programPeak, usage(program).rssMiB);
        phase.floorPeak = qMax(phase.floorPeak, usage(floor).rssMiB);
    }
    phase.programEnd = usage(program, programLog);
    phase.floorEnd = usage(floor, floorLog);
    return phase;
}

void printThreads(const QByteArray &prefix, const Usage &start, const Usage &end)
{
    const auto threads = Phase::wakeUps(start, end);
    for (auto it = threads.cbegin(); it != threads.cend(); ++it) {
        if (it.key() != "all") {
            print(prefix + it.key() + "_wakeups", it.value().first, "per min");
            print(prefix + it.key() + "_cpu", it.value().second, "ms/min");
        }
    }
}

void report(const QByteArray &name, const Phase &p)
{
    const auto ratio = [](double ours, double floor) { return floor > 0 ? ours / floor : 0.0; };
    print(name + "_program_cpu", p.programCpu(), "ms/min");
    print(name + "_floor_cpu", p.floorCpu(), "ms/min");
    print(name + "_cpu_ratio", ratio(p.programCpu(), p.floorCpu()), "x");
    print(name + "_program_rss", p.programPeak, "MiB");
    print(name + "_floor_rss", p.floorPeak, "MiB");
    print(name + "_rss_ratio", ratio(p.programPeak, p.floorPeak), "x");
    print(name + "_program_wakeups", p.programWakeUps(), "per min");
    print(name + "_floor_wakeups", p.floorWakeUps(), "per min");
    print(name + "_wakeups_ratio", ratio(p.programWakeUps(), p.floorWakeUps()), "x");
    print(name + "_program_frames", Phase::perMinute(p.programStart.frames, p.programEnd.frames), "per min");
    print(name + "_floor_frames", Phase::perMinute(p.floorStart.frames, p.floorEnd.frames), "per min");
    printThreads(name + "_program_thread_", p.programStart, p.programEnd);
    printThreads(name + "_floor_thread_", p.floorStart, p.floorEnd);
}

// The windows the process shows.
QStringList shownWindows(qint64 pid)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--pid"), QString::number(pid)});
    QStringList ids;
    if (search.waitForFinished(10000)) {
        for (const QByteArray &id : search.readAllStandardOutput().split('\n'))
            if (!id.trimmed().isEmpty())
                ids << QString::fromLatin1(id.trimmed());
    }
    return ids;
}

// Unmaps (or maps again) windows as a window manager does when a window is
// minimised; Xvfb has none.
void mapWindows(const QStringList &ids, bool map)
{
    for (const QString &id : ids)
        QProcess::execute(QStringLiteral("xdotool"),
                          {map ? QStringLiteral("windowmap") : QStringLiteral("windowunmap"), id});
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--floor") == 0)
        return runFloor(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--minutes") == 0)
        MeasureMinutes = qBound(0.5, QByteArray(argv[2]).toDouble(), 60.0);

    QApplication app(argc, argv);
    QTemporaryDir programDir;
    QTemporaryDir floorDir;
    if (!programDir.isValid() || !floorDir.isValid())
        return 1;

    Boat boat;
    QProcess sim;
    quint16 port = 0;
    const bool nmeasim = startNmeasim(sim, &port);
    if (!nmeasim) {
        if (!boat.listen())
            return 1;
        port = boat.port();
    }
    std::fprintf(stderr, "feeding over TCP 127.0.0.1:%u by %s\n", port,
                 nmeasim ? "nmeasim" : "this benchmark's own loopback server (nmeasim not built)");

    const qint64 startSecs = QDateTime::currentSecsSinceEpoch();
    writeSettings(programDir.path(), port);
    if (!fillHistory(programDir.path(), startSecs))
        return 1;

    QProcess program;
    QProcess floor;
    if (!start(program, QStringLiteral(QUILLMERE_BIN_DIR "/app/quillmere"), {}, programDir.path(),
               QStringLiteral("quillmere.log"))
        || !start(floor, QCoreApplication::applicationFilePath(), {QStringLiteral("--floor")},
                  floorDir.path(), QStringLiteral("floor.log")))
        return 1;

    wait(WarmUpMs);
    const QString programLog = programDir.filePath(QStringLiteral("quillmere.log"));
    const QString floorLog = floorDir.filePath(QStringLiteral("floor.log"));
    const Phase shown = measure(program.processId(), programLog, floor.processId(), floorLog);
    report("idle", shown);

    // Nobody looks: the window unmapped, as a minimised one is. A few
    // seconds for the last frames and the scene graph to let go, then the
    // same two minutes beside the bare window, which stays shown: its
    // figures are the floor of these ratios too.
    const QStringList windows = shownWindows(program.processId());
    const bool unmapped = !windows.isEmpty();
    mapWindows(windows, false);
    if (!unmapped)
        std::fprintf(stderr, "cannot unmap the program's window (xdotool)\n");
    wait(SettleMs);
    const qint64 unmappedSince = QDateTime::currentSecsSinceEpoch();
    const Phase hidden = measure(program.processId(), programLog, floor.processId(), floorLog);
    if (unmapped) {
        report("idle_unmapped", hidden);
        print("idle_unmapped_rows_recorded", rowsSince(programDir.path(), unmappedSince), "rows");
        // Shown again: the chart catches up with what was recorded meanwhile.
        const qint64 before = framesLogged(programLog);
        mapWindows(windows, true);
        wait(SettleMs);
        print("idle_remapped_frames", framesLogged(programLog) - before, "frames");
    }

    // The program shuts down as on power-off: settings written, history compacted.
    program.terminate();
    program.waitForFinished(30000);
    floor.kill();
    floor.waitForFinished(5000);
    if (nmeasim) {
        sim.kill();
        sim.waitForFinished(5000);
    }
    print("idle_program_rows_recorded", rowsSince(programDir.path(), startSecs), "rows");
    return 0;
}

#include "main.moc"
