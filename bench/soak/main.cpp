// soak: a loopback server drops the worker's TCP source 1000 times (the
// 10 s reconnect delay scaled down through the clock), then sends 50 MB
// without any separator. Prints the reconnections and resident memory.
#include "backend.h"
#include "clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>

namespace {
std::atomic<int> s_activated{0};

void quietHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("tcp source activated")))
        ++s_activated;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void runUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? atoi(argv[1]) : 1000;
    Clock::setIntervalScale(0.001); // 10 s reconnect -> 10 ms, 90 s silence -> 90 ms

    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    bool flood = false;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *peer = server.nextPendingConnection()) {
            if (!flood) {
                peer->write("$IIMDA,29.9,I,1.01200,B,,,,,,,,,,,,,,,,\r\n");
                peer->disconnectFromHost();
            } else {
                flood = false; // one 50 MB stream, not one per reconnection
                const QByteArray block(64 * 1024, 'A');
                for (int i = 0; i < 50 * 16; ++i)
                    peer->write(block);
            }
            QObject::connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
        }
    });

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QSettings ini(QStringLiteral("barograph.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        ini.setValue(QStringLiteral("SettingUsePos"), 0);
        ini.setValue(QStringLiteral("SettingUseTcp"), 1);
        ini.setValue(QStringLiteral("SettingTcpIpAddress"), QStringLiteral("127.0.0.1"));
        ini.setValue(QStringLiteral("SettingTcpIpPort"), server.serverPort());
    }
    qInstallMessageHandler(argc > 2 ? nullptr : quietHandler);
    auto *backEnd = new BackEnd(nullptr);
    runUntil([] { return s_activated >= 20; }, 60000);
    const long rssStart = residentKb();
    runUntil([cycles] { return s_activated >= cycles; }, 600000);
    const int reconnections = s_activated;
    const long rssAfterCycles = residentKb();

    flood = true;
    runUntil([] { return false; }, 8000);
    const long rssAfterFlood = residentKb();
    delete backEnd;

    QTextStream out(stdout);
    out << "soak_reconnections: " << reconnections << " connections\n";
    out << "soak_rss_start: " << rssStart << " kB\n";
    out << "soak_rss_after_reconnections: " << rssAfterCycles << " kB\n";
    out << "soak_rss_after_50MB_unseparated: " << rssAfterFlood << " kB\n";
    return 0;
}
