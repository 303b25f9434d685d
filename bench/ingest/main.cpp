// bench/ingest: nmeasim serves MDA and RMC over TCP as fast as the link
// takes them; a BackEnd's worker reads them through the TCP source, the
// framing and the parser. Prints sentences per second and the worker
// thread's CPU per 1000 sentences.
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
    if (message.startsWith(QLatin1String("tcp socket")))
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
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 rounds = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200000;

    QProcess simulator;
    simulator.start(QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim"),
                    {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--rate"), QStringLiteral("0"),
                     QStringLiteral("--count"), QString::number(rounds)});
    int port = 0;
    while (port == 0 && simulator.waitForReadyRead(5000)) {
        const QString line = QString::fromLocal8Bit(simulator.readLine());
        if (line.startsWith(QLatin1String("tcp: listening")))
            port = line.section(QLatin1Char(' '), -1).trimmed().toInt();
    }
    if (port == 0) {
        QTextStream(stderr) << "nmeasim did not start\n";
        return 1;
    }

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QSettings ini(QStringLiteral("barograph.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        ini.setValue(QStringLiteral("SettingUsePos"), 0);
        ini.setValue(QStringLiteral("SettingUseTcp"), 1);
        ini.setValue(QStringLiteral("SettingTcpIpAddress"), QStringLiteral("127.0.0.1"));
        ini.setValue(QStringLiteral("SettingTcpIpPort"), port);
    }
    qInstallMessageHandler(quietHandler);
    QElapsedTimer clock;
    clock.start();
    auto *backEnd = new BackEnd(nullptr);
    long tid = 0;
    QMetaObject::invokeMethod(backEnd->receiver(), [&tid] { tid = long(syscall(SYS_gettid)); },
                              Qt::BlockingQueuedConnection);
    while (!s_linkClosed && clock.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const double seconds = clock.elapsed() / 1000.0;
    const double cpuMs = threadCpuMs(tid);
    delete backEnd;
    simulator.waitForFinished(5000);

    const double sentences = double(rounds) * 2.0; // MDA and RMC per round
    QTextStream out(stdout);
    out << "ingest_sentences: " << qint64(sentences) << " sentences\n";
    out << "ingest_rate: " << qint64(sentences / seconds) << " sentences/s\n";
    out << "ingest_worker_cpu: " << QString::number(cpuMs * 1000.0 / sentences, 'f', 3) << " ms/1000 sentences\n";
    return 0;
}
