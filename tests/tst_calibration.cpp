// The barometer's calibration requests of the back end: reply fields and
// their rounding, malformed replies, the query's time-out.
#include "backend.h"
#include "clock.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void replyFields_data();
    void replyFields();
    void malformedReplies_data();
    void malformedReplies();
    void queryTimesOutOnce();
    void replyStopsTheTimeout();
    void commandsNeverTimeOut();
    void commandsSent();

private:
    TestSupport::TempWorkDir *m_dir = nullptr;
    BackEnd *m_backEnd = nullptr;
};

void TestCalibration::init()
{
    Clock::setIntervalScale(0.01); // the 5 s time-out lasts 50 ms
    m_dir = new TestSupport::TempWorkDir;
    TestSupport::writeSettings(TestSupport::quietSettings());
    m_backEnd = new BackEnd(nullptr);
}

void TestCalibration::cleanup()
{
    delete m_backEnd;
    delete m_dir;
    Clock::setIntervalScale(1.0);
}

void TestCalibration::replyFields_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("slope");
    QTest::addColumn<double>("slopeRef");
    QTest::addColumn<double>("pressure");
    QTest::newRow("plain") << "$PWEGB,CAL,0.50,10,1000.0,1012.34*00" << 0.5 << 10.0 << 1000.0 << 1012.34;
    QTest::newRow("half up") << "$PWEGB,CAL,0,2.5,1000,1000*00" << 0.0 << 3.0 << 1000.0 << 1000.0;
    QTest::newRow("minus half") << "$PWEGB,CAL,0,-2.5,1000,1000*00" << 0.0 << -2.0 << 1000.0 << 1000.0;
    QTest::newRow("minus 2.6") << "$PWEGB,CAL,0,-2.6,1000,1000*00" << 0.0 << -3.0 << 1000.0 << 1000.0;
    QTest::newRow("2.4") << "$PWEGB,CAL,-1.25,2.4,1000,999.5*7F" << -1.25 << 2.0 << 1000.0 << 999.5;
    QTest::newRow("slope not a number") << "$PWEGB,CAL,1,abc,1000,1000*00" << 1.0 << 0.0 << 1000.0 << 1000.0;
    QTest::newRow("more fields") << "$PWEGB,CAL,1,2,3,4,5*00" << 1.0 << 2.0 << 3.0 << 4.0;
}

void TestCalibration::replyFields()
{
    QFETCH(QString, reply);
    QSignalSpy spy(m_backEnd, &BackEnd::calibrationValuesReceived);
    TestSupport::MessageLog log;
    m_backEnd->slot_calibrationValues(reply);
    QCOMPARE(spy.count(), 1);
    QTEST(spy.at(0).at(0).toDouble(), "offset");
    QTEST(spy.at(0).at(1).toDouble(), "slope");
    QTEST(spy.at(0).at(2).toDouble(), "slopeRef");
    QTEST(spy.at(0).at(3).toDouble(), "pressure");
    QVERIFY(log.contains(QStringLiteral("QSP received from calibrationr request")));
}

void TestCalibration::malformedReplies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::newRow("no checksum") << "$PWEGB,CAL,0.50,10,1000.0,1012.34";
    QTest::newRow("five fields") << "$PWEGB,CAL,0.50,10,1000.0*00";
    QTest::newRow("no comma") << "$PWEGBCAL*00";
    QTest::newRow("empty") << "";
}

void TestCalibration::malformedReplies()
{
    QFETCH(QString, reply);
    QSignalSpy values(m_backEnd, &BackEnd::calibrationValuesReceived);
    QSignalSpy timeout(m_backEnd, &BackEnd::operationTimeout);
    m_backEnd->requestCurrentCalibration();
    m_backEnd->slot_calibrationValues(reply);
    QCOMPARE(values.count(), 0);
    // The time-out keeps running.
    QTRY_COMPARE(timeout.count(), 1);
}

void TestCalibration::queryTimesOutOnce()
{
    QSignalSpy timeout(m_backEnd, &BackEnd::operationTimeout);
    m_backEnd->requestCurrentCalibration();
    QTRY_COMPARE(timeout.count(), 1);
    QTest::qWait(200);
    QCOMPARE(timeout.count(), 1);
}

void TestCalibration::replyStopsTheTimeout()
{
    QSignalSpy timeout(m_backEnd, &BackEnd::operationTimeout);
    m_backEnd->requestCurrentCalibration();
    m_backEnd->slot_calibrationValues(QStringLiteral("$PWEGB,CAL,0,0,1000,1000*00"));
    QTest::qWait(200);
    QCOMPARE(timeout.count(), 0);
}

void TestCalibration::commandsNeverTimeOut()
{
    QSignalSpy timeout(m_backEnd, &BackEnd::operationTimeout);
    m_backEnd->resetBarometer();
    m_backEnd->calibrateBarometer(1.0, 2.0, 1000.0);
    QTest::qWait(200);
    QCOMPARE(timeout.count(), 0);
}

void TestCalibration::commandsSent()
{
    QSignalSpy sent(m_backEnd, &BackEnd::sendCalibration);
    TestSupport::MessageLog log;
    m_backEnd->calibrateBarometer(1.234, 10.24, 1012.3456);
    m_backEnd->requestCurrentCalibration();
    m_backEnd->resetBarometer();
    QCOMPARE(sent.count(), 3);
    QVERIFY(sent.at(0).at(0).toString().startsWith(QLatin1String("$PWEGB,UCAL,1.23,10.2,1012.35*")));
    QCOMPARE(sent.at(1).at(0).toString(), QStringLiteral("$PWEGB,CAL?*1A"));
    QCOMPARE(sent.at(2).at(0).toString(), QStringLiteral("$PWEGB,FRST*78"));
    // Only the calibration command is logged.
    QCOMPARE(log.count(QStringLiteral("$PWEGB")), 1);
}

QTEST_GUILESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
