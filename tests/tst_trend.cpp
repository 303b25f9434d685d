// Pressure tendency: the trend code from the last hour, the three-hour
// change text, the 30-second window around the wanted instant.
#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QtTest>

using namespace TestSupport;

namespace {
const qint64 T0 = 1700000000;
}

class TestTrend : public QObject
{
    Q_OBJECT

    HistoryFixture *m_fixture = nullptr;
    BackEnd *m_backend = nullptr;

    // One sample at T0 with the given current pressure: writes BARO30M,
    // which brings the trend up to date.
    bool sample(double current)
    {
        m_backend->setPressure(current, SourceTcp);
        return g_dataSource->recordSample(2, 0.0, 0.0, 0.0, 0.0, current);
    }

private slots:
    void init()
    {
        m_fixture = new HistoryFixture(T0);
        m_backend = m_fixture->backend();
    }

    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
    }

    void nothingBeforeTheFirstSample()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 10800, 1000.0);
        m_backend->setPressure(1013.0, SourceTcp);
        QCOMPARE(g_dataSource->getTrend(), -10);
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("notOK"));
    }

    void codes_data()
    {
        QTest::addColumn<double>("current");
        QTest::addColumn<double>("hourAgo");
        QTest::addColumn<int>("code");
        QTest::newRow("r = 0") << 1013.0 << 1013.0 << 1;
        QTest::newRow("r = 0.3") << 1013.1 << 1013.0 << 1;
        QTest::newRow("r = -0.3") << 1012.9 << 1013.0 << -1;
        // (1/3 - 0) x 3 is exactly 1.0 in binary floating point.
        QTest::newRow("r = 1.0") << 1.0 / 3.0 << 0.0 << 2;
        QTest::newRow("r = 1.5") << 1013.0 << 1012.5 << 2;
        QTest::newRow("r = -1.5") << 1012.5 << 1013.0 << -2;
        QTest::newRow("r = 2.4") << 1013.8 << 1013.0 << 3;
        QTest::newRow("r = -2.4") << 1013.0 << 1013.8 << -3;
        QTest::newRow("r = 3.0") << 1014.0 << 1013.0 << 4;
        QTest::newRow("r = -3.0") << 1012.0 << 1013.0 << -4;
        QTest::newRow("r = -3.6") << 1013.0 << 1014.2 << -4;
        QTest::newRow("r = 30") << 1023.0 << 1013.0 << 4;
    }

    void codes()
    {
        QFETCH(double, current);
        QFETCH(double, hourAgo);
        QFETCH(int, code);
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 3600, hourAgo);
        // The offset plays no part: both pressures are measured values.
        m_backend->setSetting(QStringLiteral("offset"), 5.0);
        QVERIFY(sample(current));
        QCOMPARE(g_dataSource->getTrend(), code);
    }

    void window_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<bool>("used");
        QTest::newRow("30 s later") << 30 << true;
        QTest::newRow("30 s earlier") << -30 << true;
        QTest::newRow("31 s later") << 31 << false;
        QTest::newRow("31 s earlier") << -31 << false;
    }

    void window()
    {
        QFETCH(int, distance);
        QFETCH(bool, used);
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 3600 + distance, 1012.5);
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 10800 + distance, 1011.73);
        QVERIFY(sample(1013.0));
        QCOMPARE(g_dataSource->getTrend(), used ? 2 : -10);
        QCOMPARE(g_dataSource->getTrend3h(),
                 used ? QStringLiteral("<div align='left'>1.3 mb / 3h</div>") : QStringLiteral("notOK"));
    }

    void nearestRowIsTheReference()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 3600 - 20, 1000.0);
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 3600 + 4, 1013.0);
        QVERIFY(sample(1013.0));
        QCOMPARE(g_dataSource->getTrend(), 1);
    }

    void threeHourText_data()
    {
        QTest::addColumn<double>("current");
        QTest::addColumn<QString>("number");
        QTest::newRow("+1.27") << 1013.27 << QStringLiteral("1.3");
        QTest::newRow("-1.24") << 1010.76 << QStringLiteral("-1.2");
        QTest::newRow("unchanged") << 1012.0 << QStringLiteral("0.0");
        QTest::newRow("+12.06") << 1024.06 << QStringLiteral("12.1");
    }

    void threeHourText()
    {
        QFETCH(double, current);
        QFETCH(QString, number);
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 10800, 1012.0, 100.0, 2.0);
        QVERIFY(sample(current));
        const QString expected = QStringLiteral("<div align='left'>%1 mb / 3h</div>").arg(number);
        QCOMPARE(g_dataSource->getTrend3h(), expected);
        // Always millibars, whatever the unit on screen.
        m_backend->setSetting(QStringLiteral("unitPre"), 3);
        QCOMPARE(g_dataSource->getTrend3h(), expected);
    }

    void notOk()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 3 * 3600 + 60, 1000.0);
        QVERIFY(sample(1013.0));
        // Less than three hours of rows, less than one hour around it.
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("notOK"));
        QCOMPARE(g_dataSource->getTrend(), -10);

        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 10800, 1010.0);
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("<div align='left'>3.0 mb / 3h</div>"));
        // No current pressure: no change to tell.
        m_backend->setPressure(NO_PRESSURE, SourceTcp);
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("notOK"));
    }

    void codeKeptWithoutWrites()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 3600, 1012.5);
        QVERIFY(sample(1013.0));
        QCOMPARE(g_dataSource->getTrend(), 2);
        // The clock value 0 writes nothing and leaves the code alone.
        Clock::setWallClock((T0 + 500) * 1000);
        QVERIFY(!g_dataSource->recordSample(0, 0.0, 0.0, 0.0, 0.0, 1020.0));
        QCOMPARE(g_dataSource->getTrend(), 2);
        // A write without a reference an hour back clears it.
        Clock::setWallClock((T0 + 502) * 1000);
        QVERIFY(sample(1013.0));
        QCOMPARE(g_dataSource->getTrend(), -10);
    }
};

QTEST_GUILESS_MAIN(TestTrend)
#include "tst_trend.moc"
