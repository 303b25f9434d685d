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

#include "boat.h"
#include "floor.h"
#include "programstate.h"
#include "procusage.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int WarmUpMs = 15000;
// Each phase; `--minutes N` for a quick look while hunting a cause.
double MeasureMinutes = 2.0;

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
    Usage u = ::usage(pid);
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
        phase.programPeak = qMax(phase.programPeak, ::usage(program).rssMiB);
        phase.floorPeak = qMax(phase.floorPeak, ::usage(floor).rssMiB);
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
    // How the program draws (it says so at start): a change here moves every figure below.
    print("idle_program_software_renderer", softwareRendererLogged(programLog), "(1 yes, 0 OpenGL)");
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

