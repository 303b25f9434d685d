// The serial source on a pseudo-terminal: opening by name, the startup
// discard, noise, the barometer's replies, commands written, the device
// going away and coming back.
#include "backend.h"
#include "clock.h"
#include "nmea0183.h"
#include "nmeareceiver.h"
#include "nmeasourceserial.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// One end of a pseudo-terminal held by the test: the barometer's side.
struct Pty
{
    int master = -1;
    int slave = -1;
    QString path;
    bool open()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return false;
        termios raw {};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(name);
        return true;
    }
    void close()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
        master = slave = -1;
    }
    void send(const QByteArray &data) const { QVERIFY(::write(master, data.constData(), size_t(data.size())) == data.size()); }
    QByteArray receive() const
    {
        char buffer[512];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, int(n)) : QByteArray();
    }
    ~Pty() { close(); }
};

QByteArray sentence(const QByteArray &text)
{
    return text + '*' + Nmea0183::checksum(text).toLatin1();
}

const QByteArray Mda1012 = sentence("$IIMDA,29.900,I,1.01200,B,,,,,,,,,,,,,,,,") + "\r\n";
}

class TestNmeaSourceSerial : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commandTexts_data();
    void commandTexts();
    void opensByNameBeforeDescription();
    void discardsTheFirstTwoReads();
    void noiseBeforeDollar();
    void replies_data();
    void replies();
    void refusedPwegbLine();
    void writesCommandsWithCrLf();
    void deviceGoneAndBack();

private:
    NmeaSourceSerial *openSource(const QString &portName);
    void passStartup();

    TestSupport::TempWorkDir *m_dir = nullptr;
    BackEnd *m_backEnd = nullptr;
    NmeaReceiver *m_receiver = nullptr;
    Pty m_pty;
};

void TestNmeaSourceSerial::init()
{
    Clock::setIntervalScale(0.01);
    m_dir = new TestSupport::TempWorkDir;
    TestSupport::writeSettings(TestSupport::quietSettings());
    m_backEnd = new BackEnd(nullptr);
    // A receiver on this thread with its parser only: the sources come from the tests.
    m_receiver = new NmeaReceiver;
    m_receiver->slot_startReceiving();
    QVERIFY(m_pty.open());
}

void TestNmeaSourceSerial::cleanup()
{
    delete m_receiver;
    delete m_backEnd;
    delete m_dir;
    m_pty.close();
    Clock::reset();
    Clock::setIntervalScale(1.0);
}

NmeaSourceSerial *TestNmeaSourceSerial::openSource(const QString &portName)
{
    auto *source = new NmeaSourceSerial(m_receiver, portName, 4800, 0, 0, 0, 0);
    source->slot_startReceiving();
    return source;
}

void TestNmeaSourceSerial::passStartup()
{
    // Two read notifications, each consumed before the next is written.
    for (int i = 0; i < 2; ++i) {
        m_pty.send(Mda1012);
        QTest::qWait(60);
    }
    QCOMPARE(m_backEnd->getSerialPressure(), NO_PRESSURE);
}

void TestNmeaSourceSerial::commandTexts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::newRow("ucal") << NmeaSourceSerial::calibrationCommand(1.234, 10.24, 1012.3456)
                          << QStringLiteral("$PWEGB,UCAL,1.23,10.2,1012.35");
    QTest::newRow("negative") << NmeaSourceSerial::calibrationCommand(-0.5, -3.0, 998.0)
                              << QStringLiteral("$PWEGB,UCAL,-0.50,-3.0,998.00");
    QTest::newRow("query") << NmeaSourceSerial::calibrationQuery() << QStringLiteral("$PWEGB,CAL?");
    QTest::newRow("reset") << NmeaSourceSerial::factoryResetCommand() << QStringLiteral("$PWEGB,FRST");
}

void TestNmeaSourceSerial::commandTexts()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QCOMPARE(command, text + QLatin1Char('*') + Nmea0183::checksum(text.toLatin1()));
    QVERIFY(NmeaSourceSerial::calibrationQuery() == QLatin1String("$PWEGB,CAL?*1A"));
    QVERIFY(NmeaSourceSerial::factoryResetCommand() == QLatin1String("$PWEGB,FRST*78"));
}

void TestNmeaSourceSerial::opensByNameBeforeDescription()
{
    TestSupport::MessageLog log;
    NmeaSourceSerial *source = openSource(m_pty.path);
    QVERIFY(source->isOpen());
    QVERIFY(log.contains(QStringLiteral("opened successfully")));
    QVERIFY(log.contains(QStringLiteral("serial port started")));
    // Data Terminal Ready fails on a pseudo-terminal; the link stays up.
    QTest::qWait(30);
    QVERIFY(source->isOpen());
    QVERIFY(!log.contains(QStringLiteral("error occured on port")));
}

void TestNmeaSourceSerial::discardsTheFirstTwoReads()
{
    openSource(m_pty.path);
    passStartup();
    m_pty.send(Mda1012);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getSerialPressure(), double(1012.0)));
}

void TestNmeaSourceSerial::noiseBeforeDollar()
{
    openSource(m_pty.path);
    passStartup();
    m_pty.send(QByteArray("\x01\xfe#x") + sentence("$WIMDA,29.9,I,0.99870,B,,,,,,,,,,,,,,,,") + "\r\n");
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getSerialPressure(), double(998.7)));
}

void TestNmeaSourceSerial::replies_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("status"); // -1: none, 0 false, 1 true
    QTest::addColumn<bool>("values");
    QTest::newRow("ok") << sentence("$PWEGB,OK") << 1 << false;
    QTest::newRow("err") << QByteArray("$PWEGB,ERR") << 0 << false;
    QTest::newRow("err fields") << sentence("$PWEGB,ERR,3") << 0 << false;
    QTest::newRow("cal") << sentence("$PWEGB,CAL,0.50,10,1000.0,1012.34") << -1 << true;
}

void TestNmeaSourceSerial::replies()
{
    QFETCH(QByteArray, line);
    QFETCH(int, status);
    QFETCH(bool, values);
    QSignalSpy statusSpy(m_backEnd, &BackEnd::calibrationStatus);
    QSignalSpy valuesSpy(m_backEnd, &BackEnd::calibrationValuesReceived);
    NmeaSourceSerial *source = openSource(m_pty.path);
    QSignalSpy rawSpy(source, &NmeaSourceSerial::calibrationValues);
    passStartup();
    m_pty.send(line + "\r\n" + Mda1012);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getSerialPressure(), double(1012.0)));
    QTRY_COMPARE(statusSpy.count(), status < 0 ? 0 : 1);
    if (status >= 0)
        QCOMPARE(statusSpy.at(0).at(0).toBool(), status == 1);
    QTRY_COMPARE(valuesSpy.count(), values ? 1 : 0);
    if (values) {
        QCOMPARE(rawSpy.at(0).at(0).toString(), QString::fromLatin1(line));
        QCOMPARE(valuesSpy.at(0).at(0).toDouble(), 0.5);
        QCOMPARE(valuesSpy.at(0).at(3).toDouble(), 1012.34);
    }
}

void TestNmeaSourceSerial::refusedPwegbLine()
{
    TestSupport::MessageLog log;
    openSource(m_pty.path);
    passStartup();
    m_pty.send(sentence("$PWEGB,XYZ,1") + "\r\n" + Mda1012);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getSerialPressure(), double(1012.0)));
    QCOMPARE(log.count(QStringLiteral("message rejected by NMEA module")), 1);
}

void TestNmeaSourceSerial::writesCommandsWithCrLf()
{
    openSource(m_pty.path);
    m_backEnd->calibrateBarometer(1.234, 10.24, 1012.3456);
    QByteArray written;
    QTRY_VERIFY((written += m_pty.receive()).endsWith("\r\n"));
    QCOMPARE(written, sentence("$PWEGB,UCAL,1.23,10.2,1012.35") + "\r\n");
}

void TestNmeaSourceSerial::deviceGoneAndBack()
{
    // The port is reached through a link that the test points at a new
    // pseudo-terminal once the old one is gone, as udev names a device
    // that is plugged in again.
    const QString link = m_dir->filePath(QStringLiteral("ttyBaro"));
    QVERIFY(QFile::link(m_pty.path, link));
    TestSupport::MessageLog log;
    NmeaSourceSerial *source = openSource(link);
    QVERIFY(source->isOpen());
    passStartup();
    m_pty.send(Mda1012);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getSerialPressure(), double(1012.0)));

    m_pty.close();
    QTRY_VERIFY(log.contains(QStringLiteral("error occured on port")));
    QCOMPARE(m_backEnd->getSerialPressure(), NO_PRESSURE);
    QTRY_VERIFY(log.count(QStringLiteral("error opening serial port")) >= 2);

    QVERIFY(m_pty.open());
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(m_pty.path, link));
    QTRY_VERIFY(source->isOpen());
    QVERIFY(!source->isReconnecting());
    // The startup discard does not apply again.
    m_pty.send(Mda1012);
    QTRY_VERIFY(qFuzzyCompare(m_backEnd->getSerialPressure(), double(1012.0)));
}

QTEST_GUILESS_MAIN(TestNmeaSourceSerial)
#include "tst_nmeasourceserial.moc"
