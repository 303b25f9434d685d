#include "simulator.h"

#include "n2kframes.h"
#include "signalkserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QUdpSocket>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// Output queued on a link beyond which a full-speed run waits for it.
constexpr qint64 BusyBytes = 256 * 1024;
// Rounds written per tick at full speed.
constexpr int Batch = 64;
// A command line from the host longer than this is garbage.
constexpr int MaxCommand = 512;

// SIGUSR1 arms a refusal of the next command; the handler only wakes the
// event loop through this pair.
int s_signalPair[2] = {-1, -1};

void onRefuseSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(s_signalPair[0], &byte, 1);
}

void say(const QString &text)
{
    QTextStream out(stdout);
    out << text << '\n';
    out.flush();
}
}

Simulator::Simulator(const SimulatorOptions &options)
    : m_options(options)
{
    m_barometer.offset = options.offset;
    m_barometer.slope = options.slope;
    m_barometer.steadyPressure = options.pressure;
    m_barometer.refuse = options.refuse;
    connect(&m_tick, &QTimer::timeout, this, &Simulator::slot_tick);
    connect(&m_drop, &QTimer::timeout, this, &Simulator::slot_drop);
}

Simulator::~Simulator()
{
    if (m_ptyMaster >= 0)
        ::close(m_ptyMaster);
    if (m_ptySlave >= 0)
        ::close(m_ptySlave);
}

bool Simulator::start()
{
    m_clock.start();
    m_startEpoch = QDateTime::currentSecsSinceEpoch();
    if (m_options.tcpPort >= 0) {
        m_server = new QTcpServer(this);
        if (!m_server->listen(m_options.listenAddress, quint16(m_options.tcpPort))) {
            say(QStringLiteral("error: cannot listen: %1").arg(m_server->errorString()));
            return false;
        }
        connect(m_server, &QTcpServer::newConnection, this, &Simulator::slot_newConnection);
        say(QStringLiteral("tcp: listening on %1 port %2")
                .arg(m_server->serverAddress().toString())
                .arg(m_server->serverPort()));
    }
    if (m_options.udpPort >= 0) {
        m_udp = new QUdpSocket(this);
        say(QStringLiteral("udp: sending to %1 port %2").arg(m_options.udpAddress.toString()).arg(m_options.udpPort));
    }
    if (m_options.signalKPort >= 0) {
        m_signalK = new SignalKServer(this);
        if (!m_signalK->listen(m_options.listenAddress, m_options.signalKPort)) {
            say(QStringLiteral("error: cannot listen: %1").arg(m_signalK->errorString()));
            return false;
        }
        say(QStringLiteral("signalk: listening on %1 port %2")
                .arg(m_options.listenAddress.toString())
                .arg(m_signalK->port()));
    }
    if (m_options.pty && (!openPty() || !watchRefuseSignal()))
        return false;
    if (!m_options.logFile.isEmpty()) {
        m_log = new QFile(m_options.logFile, this);
        if (!m_log->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            say(QStringLiteral("error: cannot write %1: %2").arg(m_options.logFile, m_log->errorString()));
            return false;
        }
        say(QStringLiteral("log: %1").arg(m_options.logFile));
    }
    m_tick.start(m_options.rate > 0.0 ? int(1000.0 / m_options.rate) : 0);
    if (m_options.dropEvery > 0)
        m_drop.start(m_options.dropEvery * 1000);
    return true;
}

bool Simulator::openPty()
{
    char name[128] = {};
    if (::openpty(&m_ptyMaster, &m_ptySlave, name, nullptr, nullptr) != 0) {
        say(QStringLiteral("error: cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno))));
        return false;
    }
    // Raw, so that the host's commands are not echoed back as if the
    // barometer had sent them. The slave stays open here as well, so that the
    // device survives the host closing and reopening it.
    termios raw {};
    ::tcgetattr(m_ptySlave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_ptySlave, TCSANOW, &raw);
    ::fcntl(m_ptyMaster, F_SETFL, ::fcntl(m_ptyMaster, F_GETFL) | O_NONBLOCK);
    m_ptyNotifier = new QSocketNotifier(m_ptyMaster, QSocketNotifier::Read, this);
    connect(m_ptyNotifier, &QSocketNotifier::activated, this, &Simulator::slot_ptyReadable);
    say(QStringLiteral("pty: %1").arg(QString::fromLocal8Bit(name)));
    return true;
}

bool Simulator::watchRefuseSignal()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_signalPair) != 0)
        return false;
    m_signalNotifier = new QSocketNotifier(s_signalPair[1], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, &Simulator::slot_refuseSignal);
    struct sigaction action {};
    action.sa_handler = onRefuseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGUSR1, &action, nullptr) == 0;
}

void Simulator::slot_refuseSignal()
{
    char byte;
    if (::read(s_signalPair[1], &byte, 1) != 1)
        return;
    if (m_barometer.refuse == Barometer::RefuseNone)
        m_barometer.refuse = Barometer::RefuseNext;
    say(QStringLiteral("pty: refusing the next command"));
}

void Simulator::slot_newConnection()
{
    while (QTcpSocket *client = m_server->nextPendingConnection()) {
        m_clients.append(client);
        connect(client, &QTcpSocket::disconnected, this, [this, client] {
            m_clients.removeAll(client);
            client->deleteLater();
        });
        // What a client says is not NMEA the boat understands: drain it.
        connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
    }
}

void Simulator::slot_drop()
{
    for (QTcpSocket *client : qAsConst(m_clients))
        client->abort();
}

double Simulator::simulatedSeconds() const
{
    return m_clock.elapsed() / 1000.0 * m_options.speedup;
}

QByteArray Simulator::finishLine(QByteArray line)
{
    ++m_lines;
    if (m_options.noise > 0.0 && QRandomGenerator::global()->generateDouble() < m_options.noise) {
        // Line noise: a few random bytes, in front or instead of a character.
        const int n = 1 + int(QRandomGenerator::global()->bounded(6));
        QByteArray junk;
        for (int i = 0; i < n; ++i)
            junk.append(char(QRandomGenerator::global()->bounded(256)));
        if (QRandomGenerator::global()->bounded(2) == 0)
            line.prepend(junk);
        else
            line.replace(int(QRandomGenerator::global()->bounded(line.size())), 1, junk);
    }
    const bool unterminated = m_options.noSeparator
        || (m_options.unterminatedEvery > 0 && m_lines % m_options.unterminatedEvery == 0);
    return unterminated ? line : line + "\r\n";
}

QByteArray Simulator::round()
{
    const double t = simulatedSeconds();
    if (m_signalK)
        m_signalK->send(m_barometer.reportedPressure(t), Barometer::track(t), m_options.rmc,
                        (m_startEpoch + qint64(t)) * 1000 + qint64(t * 1000.0) % 1000);
    if (m_options.n2k)
        return n2kRound(t);
    QByteArray data;
    for (Barometer::Kind kind : qAsConst(m_options.kinds))
        data += finishLine(m_barometer.pressureSentence(kind, t));
    if (m_options.rmc)
        data += finishLine(Barometer::rmcSentence(t, m_startEpoch));
    return data;
}

QByteArray Simulator::n2kRound(double t)
{
    const qint64 when = (m_startEpoch + qint64(t)) * 1000 + qint64(t * 1000.0) % 1000;
    QByteArray data;
    const QList<N2kFrames::Frame> frames = N2kFrames::round(m_barometer.reportedPressure(t), Barometer::track(t),
                                                            m_options.rmc, when, int(m_rounds % 8));
    for (const N2kFrames::Frame &frame : frames) {
        data += finishLine(N2kFrames::raw(frame, when));
        if (m_log)
            m_logData += N2kFrames::candump(frame, when) + '\n';
    }
    return data;
}

bool Simulator::linksBusy() const
{
    for (QTcpSocket *client : m_clients) {
        if (client->bytesToWrite() > BusyBytes)
            return true;
    }
    return m_signalK && m_signalK->busy();
}

void Simulator::slot_tick()
{
    const int rounds = m_options.rate > 0.0 ? 1 : Batch;
    // At full speed the links set the pace, and a TCP run waits for its client.
    if (m_options.rate <= 0.0 && (linksBusy() || (m_server && m_clients.isEmpty()) || (m_signalK && !m_signalK->hasClients())))
        return;
    QByteArray data;
    for (int i = 0; i < rounds && m_rounds != m_options.count; ++i, ++m_rounds)
        data += round();
    emitData(data);
    if (m_rounds == m_options.count) {
        m_tick.stop();
        for (QTcpSocket *client : qAsConst(m_clients))
            client->disconnectFromHost();
        if (m_signalK)
            m_signalK->closeAll();
        say(QStringLiteral("done: %1 rounds, %2 lines").arg(m_rounds).arg(m_lines));
        QTimer::singleShot(200, qApp, &QCoreApplication::quit);
    }
}

void Simulator::emitData(const QByteArray &data)
{
    if (data.isEmpty())
        return;
    for (QTcpSocket *client : qAsConst(m_clients))
        client->write(data);
    if (m_udp)
        m_udp->writeDatagram(data, m_options.udpAddress, quint16(m_options.udpPort));
    if (m_ptyMaster >= 0)
        writePty(data);
    if (m_log) {
        m_log->write(m_options.n2k ? m_logData : data);
        m_log->flush();
    }
    m_logData.clear();
}

void Simulator::writePty(const QByteArray &data)
{
    // A host that does not read fills the terminal's queue: what does not
    // fit is lost, as on a real serial line.
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_ptyMaster, data.constData() + done, size_t(data.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

void Simulator::slot_ptyReadable()
{
    char buffer[1024];
    const ssize_t n = ::read(m_ptyMaster, buffer, sizeof buffer);
    if (n <= 0)
        return;
    m_commandBuffer.append(buffer, int(n));
    int end;
    while ((end = m_commandBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_commandBuffer.left(end).trimmed();
        m_commandBuffer.remove(0, end + 1);
        const QByteArray reply = m_barometer.answer(line, simulatedSeconds());
        if (!reply.isEmpty())
            writePty(reply + "\r\n");
    }
    if (m_commandBuffer.size() > MaxCommand)
        m_commandBuffer.clear();
}
