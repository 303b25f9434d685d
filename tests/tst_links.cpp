// The NMEA links: the serial source on a pseudo-terminal, TCP against a loopback server, UDP on loopback (a multicast
// group only inside the test's own network namespace), an NMEA 2000 gateway over both, a CAN interface through Qt's
// "virtualcan" plug-in (this kernel has no CAN), losing and regaining each link, and the relay's sending. Also the
// guard that keeps every address of the tests, tools, benchmarks and scripts on loopback.
#include "backend.h"
#include "backendlink.h"
#include "n2klinereader.h"
#include "nmeareceiver.h"
#include "nmeasenderudp.h"
#include "nmeasourcecan.h"
#include "nmeasourceserial.h"
#include "nmeasourcetcp.h"
#include "nmeasourceudp.h"
#include "testsupport.h"

#include <QCanBus>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#include <atomic>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace TestSupport;

namespace {
// The next raising of a modem line (ioctl TIOCMBIS) or datagram read (recvmsg) fails with this error, as on a device
// gone at that moment; the C library's calls of the Qt libraries come here first.
std::atomic<int> s_failRaise{0}, s_failRead{0};
template <typename F>
F *libc(const char *name)
{
    return reinterpret_cast<F *>(::dlsym(RTLD_NEXT, name));
}
const QByteArray Mda1012 = "$IIMDA,29.9,I,1.01200,B,,,,,,,,,,,,,,,,*73\r\n";

bool pressureIs(double value)
{
    return qFuzzyCompare(g_backEnd->getCurrentPressure(), value);
}

// The virtual CAN bus of this program: its first device serves it on this loopback port, for the program's life.
QString virtualCan()
{
    static const quint16 port = [] {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : quint16(0);
    }();
    qputenv("QUILLMERE_CAN_PLUGIN", "virtualcan");
    return QString("tcp://127.0.0.1:%1/can0").arg(port);
}
} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) __THROW
{
    va_list list;
    va_start(list, request);
    void *argument = va_arg(list, void *);
    va_end(list);
    const int error = request == TIOCMBIS ? s_failRaise.exchange(0) : 0;
    return error ? (errno = error, -1) : libc<int(int, unsigned long, void *)>("ioctl")(fd, request, argument);
}

extern "C" ssize_t recvmsg(int fd, msghdr *message, int flags)
{
    const int error = s_failRead.exchange(0);
    return error ? (errno = error, -1) : libc<ssize_t(int, msghdr *, int)>("recvmsg")(fd, message, flags);
}

class TestLinks : public QObject
{
    Q_OBJECT

    BackEndFixture *m_fixture = nullptr;
    NmeaReceiver *m_receiver = nullptr; // on this thread, with its parser only
    int m_master = -1; // the barometer's end of a pseudo-terminal
    int m_slave = -1;
    QString m_pty;

    bool openPty()
    {
        char name[128] = {};
        termios raw{};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0 || ::tcgetattr(m_slave, &raw) != 0)
            return false;
        ::cfmakeraw(&raw);
        m_pty = QString::fromLocal8Bit(name);
        return ::tcsetattr(m_slave, TCSANOW, &raw) == 0 && ::fcntl(m_master, F_SETFL, O_NONBLOCK) == 0;
    }
    void closePty() { ::close(m_master), ::close(m_slave); }
    int waiting() const // sent, not read by the source yet
    {
        int n = -1;
        return ::ioctl(m_slave, FIONREAD, &n) == 0 ? n : -1;
    }
    // One read's worth: the terminal passes it on asynchronously (no event runs meanwhile), then the source takes it.
    void sendSerial(const QByteArray &data)
    {
        QVERIFY(::write(m_master, data.constData(), size_t(data.size())) == data.size());
        QElapsedTimer arrival;
        for (arrival.start(); waiting() < data.size() && arrival.elapsed() < 5000;)
            QThread::yieldCurrentThread();
        QTRY_COMPARE(waiting(), 0);
    }
    template <class Source, class... Arguments>
    Source *start(Arguments... arguments)
    {
        auto *source = new Source(m_receiver, arguments...);
        source->slot_startReceiving();
        return source;
    }
    // The barometer's first two reads after opening are dropped (a torn line).
    NmeaSourceSerial *openSerial(const QString &port)
    {
        auto *source = start<NmeaSourceSerial>(port, 4800, 0, 0, 0, 0);
        sendSerial(Mda1012);
        sendSerial(Mda1012);
        return g_backEnd->getSerialPressure() == NO_PRESSURE ? source : nullptr;
    }

private slots:
    void init()
    {
        Clock::setIntervalScale(0.01); // 10 s reconnect: 100 ms; 90 s silence: 900 ms
        m_fixture = new BackEndFixture;
        m_receiver = new NmeaReceiver;
        m_receiver->slot_startReceiving();
        g_backEnd->routeCalibration(m_receiver);
        QVERIFY(openPty());
    }
    void cleanup()
    {
        delete m_receiver;
        delete m_fixture;
        closePty();
    }

    void delivery_data() { addRows("links.tsv"); }
    void delivery()
    {
        const QString link = cell("link"), address = cell("address");
        const bool multicast = QHostAddress(address).isMulticast();
        if (multicast && !insideOwnNetworkNamespace()) {
            QString why;
            const int status = runInOwnNetworkNamespace(QString("delivery:") + QTest::currentDataTag(), &why);
            if (status == -1)
                QSKIP(qPrintable(why));
            QCOMPARE(status, 0);
            return;
        }
        MessageLog log;
        QSignalSpy status(g_backEnd, &BackEnd::calibrationStatus);
        QSignalSpy values(g_backEnd, &BackEnd::calibrationValuesReceived);
        QTcpServer server;
        QUdpSocket sender;
        const int port = freeUdpPort(); // the port that the source then takes
        QVERIFY(port);
        N2kLineReader gateway(m_receiver->link().get(), SourceN2k);
        N2kLineReader *frames = link.startsWith("gateway") ? &gateway : nullptr;
        if (link == "serial")
            QVERIFY(openSerial(m_pty));
        if (link.endsWith("tcp"))
            QVERIFY(server.listen(QHostAddress::LocalHost) && start<NmeaSourceTcp>(address, server.serverPort(), frames));
        if (link.endsWith("udp")) // joined only inside the namespace; a unicast address cannot be
            QVERIFY(start<NmeaSourceUdp>(address, port, frames)->isBound() && log.contains("joined to multicast") == multicast);
        std::unique_ptr<QCanBusDevice> bus(link == "can" ? QCanBus::instance()->createDevice("virtualcan", virtualCan()) : nullptr);
        if (bus)
            QVERIFY(start<NmeaSourceCan>(virtualCan()) && bus->connectDevice());
        QTRY_VERIFY(link.endsWith("tcp") ? server.hasPendingConnections() : !bus || bus->state() == QCanBusDevice::ConnectedState);
        QTcpSocket *peer = server.nextPendingConnection();
        // The virtual bus passes a frame on only to the devices it has taken on already: sent until it arrives.
        const auto send = [&] {
            for (const QString &chunk : items(cell("chunks"))) {
                quint32 id = 0;
                QByteArray data;
                if (link == "serial")
                    sendSerial(unescape(chunk));
                else if (bus)
                    N2kLineReader::readFrame(unescape(chunk), id, data), bus->writeFrame(QCanBusFrame(id, data));
                else if (peer)
                    peer->write(unescape(chunk));
                else
                    sender.writeDatagram(unescape(chunk), QHostAddress(multicast ? address : "127.0.0.1"), port);
            }
        };
        send();
        QTRY_VERIFY((bus ? send() : void(), pressureIs(cell("pressure").toDouble())));
        QCoreApplication::processEvents(); // replies come as queued signals
        QStringList signal;
        for (const QVariant &v : status.value(0) + values.value(0))
            signal << v.toString();
        QCOMPARE_ROW(signal.join(' '), "signal");
    }

    // Commands go out with CR LF. The port is a link that udev points at the new pseudo-terminal once the old one is
    // gone (the barometer plugged in again).
    void serialDeviceGoneAndBack()
    {
        const QString link = m_fixture->filePath("ttyBaro");
        QVERIFY(QFile::link(m_pty, link));
        MessageLog log;
        NmeaSourceSerial *source = openSerial(link);
        QVERIFY(source);
        sendSerial(Mda1012);
        QTRY_VERIFY(pressureIs(1012.0));
        g_backEnd->calibrateBarometer(1.234, 10.24, 1012.3456); // written, with CR LF
        QByteArray written;
        char buffer[64];
        QTRY_VERIFY((written += QByteArray(buffer, int(qMax(0L, ::read(m_master, buffer, 64))))).endsWith("\n"));
        QCOMPARE(written, QByteArray("$PWEGB,UCAL,1.23,10.2,1012.35*75\r\n"));
        closePty();
        QTRY_VERIFY(!source->isOpen());
        QCOMPARE(g_backEnd->getSerialPressure(), NO_PRESSURE); // withdrawn at once
        QTRY_VERIFY(log.count("error opening serial port") >= 2);
        QVERIFY(openPty() && QFile::remove(link) && QFile::link(m_pty, link));
        QTRY_VERIFY(source->isOpen());
        sendSerial(Mda1012); // the startup discard does not apply again
        QTRY_VERIFY(pressureIs(1012.0));
    }

    // A CAN interface that is not there (none here: the kernel has no CAN), or no such plug-in: tried again every 10 s
    // (scaled). One closed under the source (an adapter unplugged): its pressure withdrawn, opened again.
    void canRetries()
    {
        MessageLog log;
        for (const char *plugin : {"socketcan", "quillmere-none"}) {
            qputenv("QUILLMERE_CAN_PLUGIN", plugin);
            std::unique_ptr<NmeaSourceCan> source(start<NmeaSourceCan>(QString("qmcan9")));
            QTRY_VERIFY(log.count("error opening CAN interface") >= 3);
            log.clear();
        }
        NmeaSourceCan *source = start<NmeaSourceCan>(virtualCan());
        QTRY_VERIFY(source->isConnected());
        g_backEnd->setPressure(1000, SourceN2k);
        source->findChild<QCanBusDevice *>()->disconnectDevice();
        QTRY_VERIFY(log.contains("CAN interface closed") && g_backEnd->getCurrentPressure() == NO_PRESSURE);
        QTRY_VERIFY(source->isConnected());
    }

    // Data Terminal Ready cannot be raised on a port unplugged as it opens: dropped at once, opened again later.
    void serialGoneWhileOpening()
    {
        MessageLog log;
        s_failRaise = EIO;
        NmeaSourceSerial *source = start<NmeaSourceSerial>(m_pty, 4800, 0, 0, 0, 0);
        QVERIFY(!source->isOpen() && log.contains("ResourceError") && !log.contains("serial port started"));
        QTRY_VERIFY(source->isOpen());
    }

    // One notification takes at most 100 datagrams, empty ones too; a read that fails (its error comes at once) drops
    // the socket, bound again later.
    void udpReads()
    {
        QUdpSocket sender;
        const quint16 port = freeUdpPort();
        QVERIFY(port);
        MessageLog log;
        NmeaSourceUdp *source = start<NmeaSourceUdp>("0.0.0.0", int(port));
        for (int i = 0; i <= 150; ++i)
            sender.writeDatagram(i < 150 ? "" : Mda1012, QHostAddress::LocalHost, port);
        QList<bool> taken;
        for (int i = 0; i < 2; ++i)
            source->slot_readPendingDatagrams(), taken << pressureIs(1012);
        QCOMPARE(taken, QList<bool>({false, true}));
        s_failRead = ECONNREFUSED;
        sender.writeDatagram(Mda1012, QHostAddress::LocalHost, port);
        QTRY_VERIFY(log.contains("udp socket error") && !source->isBound());
        QTRY_VERIFY(source->isBound() && (sender.writeDatagram("$IIXDR,P,1.009,B,x\r\n", QHostAddress::LocalHost, port),
                                          pressureIs(1009)));
    }

    // A first failure is tried again for TCP (a multiplexer may come up after the computer), not for UDP (a port
    // taken by another program); a lost link is, until the server is back; a silent peer (a half-open link) is
    // dialled again.
    void networkLossAndSilence()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 port = server.serverPort();
        server.close();
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress(QHostAddress::AnyIPv4), 0, QAbstractSocket::DontShareAddress));
        MessageLog log;
        NmeaSourceTcp *source = start<NmeaSourceTcp>("127.0.0.1", int(port));
        QVERIFY(!source->isConnected());
        QVERIFY(!start<NmeaSourceUdp>("0.0.0.0", int(holder.localPort()))->isBound());
        QTest::qWait(400); // several scaled reconnection delays
        QCOMPARE(log.count("failed to connect to TCP host"), 1);
        QVERIFY(log.count("trying to reconnect to Tcp") >= 2 && !log.contains("trying to reconnect to udp"));
        log.clear();
        int accepted = 0;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            server.nextPendingConnection()->write(QByteArray("$IIXDR,P,1.0") + char('0' + accepted++) + "0,B,x\r\n");
        });
        QVERIFY(server.listen(QHostAddress::LocalHost, port));
        QTRY_VERIFY(pressureIs(1000.0));
        QTest::qWait(Clock::interval(45000)); // a barometer forwarded every 45 s keeps its link, and stays current
        Clock::advance(45000);
        QVERIFY(pressureIs(1000.0) && accepted == 1);
        QTRY_VERIFY(pressureIs(1010.0)); // silent 90 s (900 ms): dialled again
        server.close();
        for (QTcpSocket *peer : server.findChildren<QTcpSocket *>())
            peer->disconnectFromHost();
        QTRY_COMPARE(g_backEnd->getCurrentPressure(), NO_PRESSURE);
        QTRY_VERIFY(log.count("trying to reconnect to Tcp") >= 2);
        QVERIFY(server.listen(QHostAddress::LocalHost, port));
        QTRY_VERIFY(source->isConnected() && accepted >= 3);
    }

    // With no destination the relay's send fails and the sender is rebuilt 5 s (scaled) later.
    void relayRecovers()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress("127.0.0.1")));
        NmeaSenderUdp::setDestinationProvider([] { return QSet<QHostAddress>(); });
        NmeaSenderUdp sender;
        QVERIFY(!sender.sendPressure(1013.25, listener.localPort()) && !sender.hasSocket());
        NmeaSenderUdp::setDestinationProvider([] { return QSet<QHostAddress>{QHostAddress::LocalHost}; });
        QTRY_VERIFY(sender.hasSocket());
        QVERIFY(sender.sendPressure(1013.25, listener.localPort()) && listener.waitForReadyRead(5000));
        QCOMPARE(listener.receiveDatagram().data(), QByteArray("$GPXDR,P,1.01325,B,Barometer*34\r\n"));
    }

    // Every IPv4 literal in tests, tools, benchmarks and scripts is loopback or the wildcard, or allowed here with
    // its reason.
    void addressesStayOnLoopback()
    {
        const QStringList allowed{"239.255.0.77", // a multicast group, joined only in the test's own namespace
                                  "224.0.0.0"};   // the multicast route on lo, only in that namespace
        const QRegularExpression literal("(?<![\\d.])\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}(?![\\d.])");
        QStringList found;
        int files = 0;
        for (const char *folder : {"tests", "tools", "bench", "scripts"}) {
            for (QDirIterator it(QString(QUILLMERE_SOURCE_DIR "/") + folder, QDir::Files, QDirIterator::Subdirectories);
                 it.hasNext(); ++files) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                for (auto m = literal.globalMatch(QString::fromLatin1(file.readAll())); m.hasNext();) {
                    const QString address = m.next().captured(0);
                    if (!address.startsWith("127.") && address != "0.0.0.0" && !allowed.contains(address))
                        found << it.filePath() + ": " + address;
                }
            }
        }
        QVERIFY(files > 50);
        QCOMPARE(found, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLinks)
#include "tst_links.moc"
