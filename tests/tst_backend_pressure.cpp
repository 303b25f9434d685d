// Which source's pressure is current, and for how long.
#include "backend.h"
#include "testsupport.h"

#include <QtTest>

#include <thread>

using namespace TestSupport;

class TestBackendPressure : public QObject
{
    Q_OBJECT

    TempWorkDir *m_dir = nullptr;
    BackEnd *m_backend = nullptr;

private slots:
    void init()
    {
        Clock::reset();
        m_dir = new TempWorkDir;
        writeSettings(quietSettings());
        m_backend = new BackEnd(nullptr);
    }

    void cleanup()
    {
        delete m_backend;
        delete m_dir;
        Clock::reset();
    }

    void noSourceAtStart()
    {
        QCOMPARE(m_backend->getCurrentPressure(), NO_PRESSURE);
        QCOMPARE(m_backend->getSerialPressure(), NO_PRESSURE);
        QCOMPARE(m_backend->getPressureSource(), QStringLiteral("No pressure available"));
    }

    void precedenceAndFreshness()
    {
        m_backend->setPressure(1013.25, SourceInternal);
        Clock::advance(30000);
        m_backend->setPressure(1000.00, SourceSerial);
        QCOMPARE(m_backend->getCurrentPressure(), 1013.25);
        QCOMPARE(m_backend->getPressureSource(), QStringLiteral("From internal pressure sensor"));

        // 61 s after the sensor's last value the barometer is current.
        Clock::advance(31000);
        QCOMPARE(m_backend->getCurrentPressure(), 1000.00);
        QCOMPARE(m_backend->getPressureSource(), QStringLiteral("From serial connection"));
        Clock::advance(30000);
        QCOMPARE(m_backend->getCurrentPressure(), NO_PRESSURE);
        // The serial value as stored, without freshness.
        QCOMPARE(m_backend->getSerialPressure(), 1000.00);
    }

    void freshnessBoundary_data()
    {
        QTest::addColumn<qint64>("age");
        QTest::addColumn<bool>("current");
        QTest::newRow("59 999 ms") << qint64(59999) << true;
        QTest::newRow("60 000 ms") << qint64(60000) << false;
        QTest::newRow("61 s") << qint64(61000) << false;
    }

    void freshnessBoundary()
    {
        QFETCH(qint64, age);
        QFETCH(bool, current);
        m_backend->setPressure(1005.5, SourceUdp);
        Clock::advance(age);
        QCOMPARE(m_backend->getCurrentPressure(), current ? 1005.5 : NO_PRESSURE);
    }

    void sourceOrder_data()
    {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("higher");
        QTest::addColumn<QString>("text");
        QTest::newRow("serial over tcp") << int(SourceSerial) << int(SourceTcp) << "From serial connection";
        QTest::newRow("tcp over udp") << int(SourceTcp) << int(SourceUdp) << "From TCP connection";
        QTest::newRow("internal over udp") << int(SourceInternal) << int(SourceUdp)
                                           << "From internal pressure sensor";
    }

    void sourceOrder()
    {
        QFETCH(int, lower);
        QFETCH(int, higher);
        QFETCH(QString, text);
        m_backend->setPressure(990.0, higher);
        m_backend->setPressure(1010.0, lower);
        QCOMPARE(m_backend->getCurrentPressure(), 1010.0);
        QCOMPARE(m_backend->getPressureSource(), text);
        m_backend->setPressure(NO_PRESSURE, lower);
        QCOMPARE(m_backend->getCurrentPressure(), 990.0);
    }

    void zeroIsNeverCurrent()
    {
        m_backend->setPressure(0.0, SourceInternal);
        QCOMPARE(m_backend->getCurrentPressure(), NO_PRESSURE);
        m_backend->setPressure(1001.0, SourceTcp);
        QCOMPARE(m_backend->getCurrentPressure(), 1001.0);
    }

    void withdrawalIsImmediate()
    {
        m_backend->setPressure(1001.0, SourceTcp);
        m_backend->setPressure(NO_PRESSURE, SourceTcp);
        QCOMPARE(m_backend->getCurrentPressure(), NO_PRESSURE);
        QCOMPARE(m_backend->getPressureSource(), QStringLiteral("No pressure available"));
    }

    void badSourceIndexChangesNothing()
    {
        m_backend->setPressure(1001.0, 4);
        m_backend->setPressure(1001.0, -1);
        m_backend->setFix(QPointF(1, 2), 3, 4, 7);
        m_backend->clearFix(-3);
        QCOMPARE(m_backend->getCurrentPressure(), NO_PRESSURE);
        QCOMPARE(m_backend->currentPosition(), QPointF(0, 0));
    }

    // The worker thread stores values while the sample cycle reads them.
    void concurrentWritesAndReads()
    {
        QAtomicInt stop(0);
        std::thread writer([&]() {
            int i = 0;
            while (!stop.loadAcquire()) {
                m_backend->setPressure(1000.0 + (i % 10), SourceSerial);
                m_backend->setFix(QPointF(i % 5, 1), 2, 3, SourceSerial);
                m_backend->clearFix(SourceTcp);
                ++i;
            }
        });
        for (int i = 0; i < 20000; ++i) {
            const double p = m_backend->getCurrentPressure();
            QVERIFY(p == NO_PRESSURE || (p >= 1000.0 && p < 1010.0));
            const QPair<double, double> cs = m_backend->currentCourseSpeed();
            QVERIFY(cs.first == 0.0 || cs.first == 3.0);
        }
        stop.storeRelease(1);
        writer.join(); // a join ThreadSanitizer can see, unlike QThread::wait
    }
};

QTEST_GUILESS_MAIN(TestBackendPressure)
#include "tst_backend_pressure.moc"
