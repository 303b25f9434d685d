// Chart series and point queries: runs cut at missing samples, axis bounds,
// the reference time, display units, interpolation limits and the read-out.
#include "backend.h"
#include "datasource.h"
#include "formatting.h"
#include "testsupport.h"

#include <QLineSeries>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

using namespace TestSupport;

namespace {
const qint64 T0 = 1700000000;
const QStringList Tables = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D",
                            "BARO2D",  "BARO4D", "BARO8D", "BAR16D"};
const QList<int> Intervals = {2, 6, 12, 24, 48, 96, 192, 384, 768};
const QList<int> XUnits = {60, 3600, 3600, 3600, 3600, 3600, 86400, 86400, 86400};

struct Chart
{
    qint64 now = -1;
    double min = 0.0;
    double max = 0.0;
    int runs = 0;
};

Chart buildChart(int chartNb)
{
    QSignalSpy spy(g_dataSource, &DataSource::chartUpdated);
    g_dataSource->updateChart(chartNb);
    if (spy.count() != 1)
        return {};
    const QList<QVariant> a = spy.at(0);
    return {a.at(0).toLongLong(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toInt()};
}

QVector<QPointF> run(int n)
{
    QtCharts::QLineSeries series;
    g_dataSource->update(&series, n);
    return series.pointsVector();
}
} // namespace

Q_DECLARE_METATYPE(QList<double>)

class TestChart : public QObject
{
    Q_OBJECT

    HistoryFixture *m_fixture = nullptr;
    BackEnd *m_backend = nullptr;

private slots:
    void init()
    {
        m_fixture = new HistoryFixture(T0);
        m_backend = m_fixture->backend();
        m_backend->setPressure(1013.25, SourceTcp);
    }

    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
    }

    void emptyTable()
    {
        const Chart c = buildChart(1);
        QCOMPARE(c.now, qint64(0));
        QCOMPARE(c.min, 9999999.99);
        QCOMPARE(c.max, -9999999.99);
        QCOMPARE(c.runs, 1);
        QVERIFY(run(0).isEmpty());
    }

    void bounds_data()
    {
        QTest::addColumn<QList<double>>("pressures");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("one row") << QList<double>{1013.25} << 1013.24 << 1013.26;
        QTest::newRow("range 0.19") << QList<double>{1013.00, 1013.19} << 1012.99 << 1013.20;
        QTest::newRow("range 0.70") << QList<double>{1012.40, 1012.80, 1013.10} << 1012.30 << 1013.10;
        QTest::newRow("range 0.2") << QList<double>{1013.00, 1013.20} << 1012.90 << 1013.20;
        QTest::newRow("range 1.5") << QList<double>{1011.6, 1012.0, 1013.1} << 1011.0 << 1014.0;
        QTest::newRow("range 1.0") << QList<double>{1012.5, 1013.5} << 1012.0 << 1014.0;
        QTest::newRow("rounded rows") << QList<double>{1013.004, 1013.005} << 1012.99 << 1013.02;
    }

    void bounds()
    {
        QFETCH(QList<double>, pressures);
        QFETCH(double, lower);
        QFETCH(double, upper);
        for (int i = 0; i < pressures.size(); ++i)
            insertHistoryRow(QStringLiteral("BARO3H"), T0 - 6 * i, pressures.at(i));
        const Chart c = buildChart(1);
        QCOMPARE(c.now, T0);
        QCOMPARE(c.min, lower);
        QCOMPARE(c.max, upper);
        QCOMPARE(c.runs, 1);
        QCOMPARE(run(0).first(), QPointF(0.0, std::floor(pressures.first() * 100 + 0.5) / 100));
    }

    void runsAreCut_data()
    {
        QTest::addColumn<int>("chart");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("runs");
        // The regular step at the wrap of the sample clock stays in one run.
        QTest::newRow("BARO30M 4 s") << 0 << 4 << 1;
        QTest::newRow("BARO30M 5 s") << 0 << 5 << 2;
        QTest::newRow("BARO30M 6 s") << 0 << 6 << 2;
        QTest::newRow("BARO3H 8 s") << 1 << 8 << 1;
        QTest::newRow("BARO3H 9 s") << 1 << 9 << 1;
        QTest::newRow("BARO3H 10 s") << 1 << 10 << 2;
        for (int i = 2; i < 9; ++i) {
            const int cut = Intervals.at(i) * 3 / 2;
            QTest::newRow(qPrintable(Tables.at(i) + " at cut")) << i << cut << 1;
            QTest::newRow(qPrintable(Tables.at(i) + " over cut")) << i << cut + 1 << 2;
        }
    }

    void runsAreCut()
    {
        QFETCH(int, chart);
        QFETCH(int, gap);
        QFETCH(int, runs);
        const QString table = Tables.at(chart);
        const int step = Intervals.at(chart);
        insertHistoryRow(table, T0, 1013.0);
        insertHistoryRow(table, T0 - step, 1012.0);
        insertHistoryRow(table, T0 - step - gap, 1011.0);
        QCOMPARE(buildChart(chart).runs, runs);
        // Newest first, in the chart's unit of time.
        const double unit = XUnits.at(chart);
        const QVector<QPointF> all = runs == 1 ? run(0) : run(0) + run(1);
        QCOMPARE(all, (QVector<QPointF>{{0.0, 1013.0}, {-step / unit, 1012.0}, {-(step + gap) / unit, 1011.0}}));
        if (runs == 2)
            QCOMPARE(run(1).size(), 1);
    }

    void referenceWithoutPressure()
    {
        insertHistoryRow(QStringLiteral("BARO30M"), T0 - 120, 1013.0);
        m_backend->setPressure(NO_PRESSURE, SourceTcp);
        const Chart c = buildChart(0);
        QCOMPARE(c.now, T0);
        QCOMPARE(run(0), QVector<QPointF>{QPointF(-2.0, 1013.0)});
    }

    void displayUnits_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("none");
        QTest::newRow("mb") << 0 << 1013.25 << -1000.0;
        QTest::newRow("hPa") << 1 << 1013.25 << -1000.0;
        QTest::newRow("kPa") << 2 << 101.33 << -100.0;
        QTest::newRow("inHg") << 3 << 29.92 << -29.53;
        QTest::newRow("mmHg") << 4 << 760.0 << -750.06;
        QTest::newRow("unknown") << 9 << 1013.25 << -1000.0;
    }

    void displayUnits()
    {
        QFETCH(int, unit);
        QFETCH(double, value);
        QFETCH(double, none);
        m_backend->setSetting(QStringLiteral("unitPre"), unit);
        insertHistoryRow(QStringLiteral("BARO3H"), T0, 1013.25);
        buildChart(1);
        QCOMPARE(run(0).first().y(), value);
        QCOMPARE(g_dataSource->getValueAt(0.0, 1, T0).y(), value);
        QCOMPARE(g_dataSource->getValueAt(1.0, 1, T0).y(), none);
    }

    void stationOrSeaLevel()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0, 1000.0, 0.0, 2.5);
        buildChart(1);
        QCOMPARE(run(0).first().y(), 1002.5);
        m_backend->setSetting(QStringLiteral("preDisplay"), 1);
        buildChart(1);
        QCOMPARE(run(0).first().y(), 1002.5);
        QCOMPARE(g_dataSource->getValueAt(0.0, 1, T0).y(), 1002.5);
    }

    void interpolation_data()
    {
        QTest::addColumn<int>("second");
        QTest::addColumn<double>("value");
        QTest::newRow("on the earlier row") << 0 << 1010.0;
        QTest::newRow("t + 1") << 1 << 1010.5;
        QTest::newRow("t + 3") << 3 << 1011.5;
        QTest::newRow("on the later row") << 6 << 1013.0;
        QTest::newRow("before the first row") << -1 << -1000.0;
        QTest::newRow("after the last row") << 7 << -1000.0;
    }

    void interpolation()
    {
        QFETCH(int, second);
        QFETCH(double, value);
        insertHistoryRow(QStringLiteral("BARO3H"), T0, 1010.0);
        insertHistoryRow(QStringLiteral("BARO3H"), T0 + 6, 1013.0);
        const double timed = (second - 6) / 3600.0; // measured from the newest row
        const QPointF p = g_dataSource->getValueAt(timed, 1, QVariant::fromValue<qint64>(T0 + 6));
        QCOMPARE(p, QPointF(timed, value));
    }

    void interpolationLimit_data()
    {
        QTest::addColumn<int>("chart");
        QTest::addColumn<int>("gap");
        QTest::addColumn<bool>("bridged");
        const QList<int> limits = {62, 66, 72, 84, 108, 156, 252, 300, 300};
        for (int i = 0; i < 9; ++i) {
            QTest::newRow(qPrintable(Tables.at(i) + " under")) << i << limits.at(i) - 1 << true;
            QTest::newRow(qPrintable(Tables.at(i) + " at")) << i << limits.at(i) << false;
        }
    }

    void interpolationLimit()
    {
        QFETCH(int, chart);
        QFETCH(int, gap);
        QFETCH(bool, bridged);
        insertHistoryRow(Tables.at(chart), T0 - gap, 1000.0);
        insertHistoryRow(Tables.at(chart), T0, 1000.0);
        const double y = g_dataSource->getValueAt(-1.0 / XUnits.at(chart), chart, T0).y();
        QCOMPARE(y, bridged ? 1000.0 : -1000.0);
    }

    void longTablesAnswerOnStoredSecondsOnly()
    {
        insertHistoryRow(QStringLiteral("BAR16D"), T0 - 768, 1001.0);
        insertHistoryRow(QStringLiteral("BAR16D"), T0, 1002.0);
        QCOMPARE(g_dataSource->getValueAt(-768.0 / 86400, 8, T0).y(), 1001.0);
        QCOMPARE(g_dataSource->getValueAt(-1.0 / 86400, 8, T0).y(), -1000.0);
    }

    void indexOutsideTheTables()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0, 1013.0);
        QSignalSpy spy(g_dataSource, &DataSource::chartUpdated);
        g_dataSource->updateChart(9);
        g_dataSource->updateChart(-1);
        QCOMPARE(spy.count(), 0);
        QVERIFY(g_dataSource->getValueAt(0.0, 9, T0).y() < 0.0);
        QVERIFY(g_dataSource->getValueAt(0.0, -1, T0).y() < 0.0);
        QCOMPARE(g_dataSource->calcInfo(QPointF(0.0, 1013.0), 9), QString());
        QVERIFY(g_dataSource->getValueAt(qQNaN(), 1, T0).y() < 0.0);
    }

    void updateIgnoresRunsNotBuilt()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0, 1013.0);
        QCOMPARE(buildChart(1).runs, 1);
        QtCharts::QLineSeries series;
        series.append(1.0, 2.0);
        g_dataSource->update(&series, 1);
        g_dataSource->update(&series, -1);
        QCOMPARE(series.pointsVector(), QVector<QPointF>{QPointF(1.0, 2.0)});
        g_dataSource->update(nullptr, 0);
        g_dataSource->update(&series, 0);
        QCOMPARE(series.pointsVector(), QVector<QPointF>{QPointF(0.0, 1013.0)});
    }

    // As the screen does it: inside the delivery of chartUpdated it fills its
    // series and asks for the three-hour change; the read-out only tries the lock.
    void receiverOfChartUpdated()
    {
        insertHistoryRow(QStringLiteral("BARO30M"), T0, 1013.0);
        insertHistoryRow(QStringLiteral("BARO30M"), T0 - 10, 1012.0);
        QList<QtCharts::QLineSeries *> series = {new QtCharts::QLineSeries(this), new QtCharts::QLineSeries(this)};
        QString info = QStringLiteral("unset");
        QString trend;
        connect(g_dataSource, &DataSource::chartUpdated, this,
                [&](QVariant, double, double, int count) {
                    for (int n = 0; n < count && n < series.size(); ++n)
                        g_dataSource->update(series.at(n), n);
                    trend = g_dataSource->getTrend3h();
                    info = g_dataSource->calcInfo(QPointF(0.0, 1013.0), 0);
                });
        MessageLog log;
        g_dataSource->updateChart(0);
        QCOMPARE(series.at(0)->pointsVector(), QVector<QPointF>{QPointF(0.0, 1013.0)});
        QCOMPARE(series.at(1)->pointsVector(), QVector<QPointF>{QPointF(-10.0 / 60, 1012.0)});
        QCOMPARE(trend, QStringLiteral("notOK"));
        QCOMPARE(info, QString());
        QCOMPARE(log.count(QStringLiteral("unable to lock mutex")), 1);
        disconnect(g_dataSource, &DataSource::chartUpdated, this, nullptr);
        qDeleteAll(series);
    }

    void readOut_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<qint64>("second");
        QTest::newRow("newest") << 0.0 << T0;
        QTest::newRow("one minute back") << -1.0 / 60 << T0 - 60;
        // The instant, not the offset, is cut toward zero.
        QTest::newRow("half a second back") << -2.5 / 3600 << T0 - 3;
        QTest::newRow("half a second ahead") << 1.5 / 3600 << T0 + 1;
    }

    void readOut()
    {
        QFETCH(double, x);
        QFETCH(qint64, second);
        m_backend->setSetting(QStringLiteral("unitPre"), 3);
        insertHistoryRow(QStringLiteral("BARO3H"), T0, 1013.25);
        const QString expected = Formatting::formatPressure(29.92 / 0.029529983071445, true)
            + QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;")
            + Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(second, Qt::UTC));
        QCOMPARE(g_dataSource->calcInfo(QPointF(x, 29.92), 1), expected);
    }

    void readOutOfAnEmptyTable()
    {
        MessageLog log;
        QCOMPARE(g_dataSource->calcInfo(QPointF(0.0, 1013.0), 2), QString());
        QVERIFY(log.lines().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestChart)
#include "tst_chart.moc"
