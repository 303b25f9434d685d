// bench/ingest: nmeasim serves the simulated boat as fast as the link takes
// it, first as MDA and RMC over TCP, then as Signal K deltas (pressure,
// position, course and speed in each) over its WebSocket stream; a BackEnd's
// worker reads each through its source. Prints sentences and deltas per
// second and the worker thread's CPU per 1000 of them, in the same run.
#include "backend.h"
#include "nmeareceiver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::atomic<bool> s_linkClosed{false};

void quietHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("tcp socket")) || message.startsWith(QLatin1String("Signal K link lost")))
        s_linkClosed = true;
}

// User plus system CPU of one thread of this process, in milliseconds.
double threadCpuMs(long tid)
{
    QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1.0;
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct Run
{
    double seconds = 0.0;
    double cpuMs = 0.0;
};

// nmeasim with `link` ("tcp" or "signalk") at full speed for `rounds`, into a
// back end that reads it; false when nmeasim did not start.
bool ingest(const QString &link, qint64 rounds, Run &run)
{
    QProcess simulator;
    simulator.start(QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim"),
                    {"--" + link, QStringLiteral("0"), QStringLiteral("--rate"), QStringLiteral("0"),
                     QStringLiteral("--count"), QString::number(rounds)});
    int port = 0;
    while (port == 0 && simulator.waitForReadyRead(5000)) {
        const QString line = QString::fromLocal8Bit(simulator.readLine());
        if (line.startsWith(link + QStringLiteral(": listening")))
            port = line.section(QLatin1Char(' '), -1).trimmed().toInt();
    }
    if (port == 0)
        return false;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QSettings ini(QStringLiteral("barograph.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        ini.setValue(QStringLiteral("SettingUsePos"), 0);
        const bool tcp = link == QLatin1String("tcp");
        ini.setValue(tcp ? QStringLiteral("SettingUseTcp") : QStringLiteral("SettingUseSignalK"), 1);
        ini.setValue(tcp ? QStringLiteral("SettingTcpIpAddress") : QStringLiteral("SettingSignalKHost"),
                     QStringLiteral("127.0.0.1"));
        ini.setValue(tcp ? QStringLiteral("SettingTcpIpPort") : QStringLiteral("SettingSignalKPort"), port);
    }
    s_linkClosed = false;
    QElapsedTimer clock;
    clock.start();
    auto *backEnd = new BackEnd(nullptr);
    long tid = 0;
    QMetaObject::invokeMethod(backEnd->receiver(), [&tid] { tid = long(syscall(SYS_gettid)); },
                              Qt::BlockingQueuedConnection);
    while (!s_linkClosed && clock.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    run.seconds = clock.elapsed() / 1000.0;
    run.cpuMs = threadCpuMs(tid);
    delete backEnd;
    simulator.waitForFinished(5000);
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 rounds = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200000;
    qInstallMessageHandler(quietHandler);
    Run tcp;
    Run signalK;
    if (!ingest(QStringLiteral("tcp"), rounds, tcp) || !ingest(QStringLiteral("signalk"), rounds, signalK)) {
        QTextStream(stderr) << "nmeasim did not start\n";
        return 1;
    }

    const double sentences = double(rounds) * 2.0; // MDA and RMC per round
    const double deltas = double(rounds);         // one delta of four values per round
    QTextStream out(stdout);
    out << "ingest_sentences: " << qint64(sentences) << " sentences\n";
    out << "ingest_rate: " << qint64(sentences / tcp.seconds) << " sentences/s\n";
    out << "ingest_worker_cpu: " << QString::number(tcp.cpuMs * 1000.0 / sentences, 'f', 3) << " ms/1000 sentences\n";
    out << "ingest_signalk_deltas: " << qint64(deltas) << " deltas\n";
    out << "ingest_signalk_rate: " << qint64(deltas / signalK.seconds) << " deltas/s\n";
    out << "ingest_signalk_worker_cpu: " << QString::number(signalK.cpuMs * 1000.0 / deltas, 'f', 3)
        << " ms/1000 deltas\n";
    return 0;
}
