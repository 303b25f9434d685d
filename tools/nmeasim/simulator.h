#pragma once

#include "barometer.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

class QFile;
class SignalKServer;
class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QUdpSocket;

struct SimulatorOptions
{
    int tcpPort = -1;                 // -1: no TCP server; 0: any free port
    QHostAddress listenAddress = QHostAddress::LocalHost;
    QHostAddress udpAddress = QHostAddress::LocalHost;
    int udpPort = -1;                 // -1: no UDP datagrams
    bool pty = false;
    QList<Barometer::Kind> kinds{Barometer::Mda};
    bool rmc = true;
    double rate = 1.0;                // rounds per second; 0: as fast as the link takes them
    double speedup = 1.0;             // simulated seconds per real second
    qint64 count = -1;                // rounds to send before quitting; -1: no end
    int dropEvery = 0;                // seconds between dropped TCP connections
    double noise = 0.0;               // share of lines garbled
    int unterminatedEvery = 0;        // every Nth line leaves without separator
    bool noSeparator = false;         // no line has a separator
    double offset = 0.0;
    double slope = 0.0;
    double pressure = 0.0;            // steady sensor pressure, hPa; 0: the passing depression
    Barometer::Refusal refuse = Barometer::RefuseNone;
    bool n2k = false;                 // NMEA 2000 frames: RAW lines on the network, a candump log to the file
    QString logFile;                  // also write the stream to this file
    int signalKPort = -1;             // -1: no Signal K stream; 0: any free port
};

// Serves the simulated boat on the links asked for, one round (the pressure
// sentences, then the position) at a time.
class Simulator : public QObject
{
    Q_OBJECT

public:
    explicit Simulator(const SimulatorOptions &options);
    ~Simulator() override;

    // Opens the links and prints where they are; false if one cannot open.
    bool start();

private slots:
    void slot_newConnection();
    void slot_tick();
    void slot_drop();
    void slot_ptyReadable();
    void slot_refuseSignal();

private:
    bool openPty();
    bool watchRefuseSignal();
    double simulatedSeconds() const;
    QByteArray round();
    QByteArray n2kRound(double t);
    QByteArray finishLine(QByteArray line);
    bool linksBusy() const;
    void emitData(const QByteArray &data);
    void writePty(const QByteArray &data);

    SimulatorOptions m_options;
    Barometer m_barometer;
    QElapsedTimer m_clock;
    qint64 m_startEpoch = 0;
    QTimer m_tick;
    QTimer m_drop;
    QTcpServer *m_server = nullptr;
    QList<QTcpSocket *> m_clients;
    QUdpSocket *m_udp = nullptr;
    SignalKServer *m_signalK = nullptr;
    QFile *m_log = nullptr;
    QByteArray m_logData; // the round in the log's form, when it differs
    int m_ptyMaster = -1;
    int m_ptySlave = -1;
    QSocketNotifier *m_ptyNotifier = nullptr;
    QSocketNotifier *m_signalNotifier = nullptr;
    QByteArray m_commandBuffer;
    qint64 m_rounds = 0;
    qint64 m_lines = 0;
};
