// The barograph screens in the real window over a real history store: the
// span buttons, the series per run, the y ticks, the titles, the read-out and
// its time-out, zoom, the trend arrow and the absence of pressure.

#include "screenharness.h"

#include <QAbstractAxis>
#include <QAbstractSeries>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QXYSeries>
#include <QtTest>

#include <cmath>

using namespace QtCharts;

namespace {

const qint64 Now = 1780000000; // a fixed instant for the whole test

} // namespace

class TestBaroScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }

    void init()
    {
        Clock::reset();
        Clock::setWallClock(Now * 1000);
        m_log = new TestSupport::MessageLog();
        m_screen = new ScreenHarness();
        QVERIFY(m_screen->waitExposed());
        QTRY_VERIFY((m_page = m_screen->find<QQuickItem>(QStringLiteral("baroH"))));
        m_chart = m_page->findChild<QQuickItem *>(QStringLiteral("chart"));
        QVERIFY(m_chart);
        // The axes belong to the chart, not to the item tree: reach them
        // through the first series.
        const auto axes = series(0)->attachedAxes();
        for (QAbstractAxis *axis : axes)
            (axis->orientation() == Qt::Horizontal ? m_axisX : m_axisY) = axis;
        QVERIFY(m_axisX && m_axisY);
        // Only the samples a test sends reach the screens, not those of the
        // back end's own 2-second cycle.
        g_backEnd->blockSignals(true);
    }

    void cleanup()
    {
        delete m_screen;
        m_screen = nullptr;
        Clock::reset();
        const QStringList problems = ScreenHarness::qmlProblems(*m_log);
        delete m_log;
        m_log = nullptr;
        QCOMPARE(problems, QStringList());
    }

    void spanButtonsSetTheAxes_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("chartNb");
        QTest::addColumn<double>("min");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("minorTicks");
        QTest::newRow("3h") << "3h" << 1 << -3.0 << "%dh" << 4 << 1;
        QTest::newRow("6h") << "6h" << 2 << -6.0 << "%dh" << 7 << 0;
        QTest::newRow("12h") << "12h" << 3 << -12.0 << "%dh" << 7 << 0;
        QTest::newRow("1d") << "1d" << 4 << -24.0 << "%dh" << 7 << 0;
        QTest::newRow("2d") << "2d" << 5 << -48.0 << "%dh" << 7 << 0;
        QTest::newRow("4d") << "4d" << 6 << -4.0 << "%dd" << 5 << 1;
        QTest::newRow("8d") << "8d" << 7 << -8.0 << "%dd" << 5 << 1;
        QTest::newRow("16d") << "16d" << 8 << -16.0 << "%dd" << 5 << 1;
        QTest::newRow("30m") << "30m" << 0 << -30.0 << "%dm" << 7 << 0;
    }

    void spanButtonsSetTheAxes()
    {
        QFETCH(QString, label);
        QFETCH(int, chartNb);
        QFETCH(double, min);
        QFETCH(QString, format);
        QFETCH(int, ticks);
        QFETCH(int, minorTicks);
        if (chartNb == 0)
            pressSpan(QStringLiteral("8d"));
        pressSpan(label);
        QCOMPARE(m_page->property("chartNb").toInt(), chartNb);
        QCOMPARE(m_axisX->property("min").toDouble(), min);
        QCOMPARE(m_axisX->property("max").toDouble(), 0.0);
        QCOMPARE(m_axisX->property("labelFormat").toString(), format);
        QCOMPARE(m_axisX->property("tickCount").toInt(), ticks);
        QCOMPARE(m_axisX->property("minorTickCount").toInt(), minorTicks);
    }

    void gapsGiveOneSeriesPerRunCrossHairLast()
    {
        // Three runs of the 30-minute table: a run is cut beyond 4 s.
        for (int s = 0; s <= 20; s += 2)
            insertRow(QStringLiteral("BARO30M"), Now - s, 1013.0);
        for (int s = 100; s <= 120; s += 2)
            insertRow(QStringLiteral("BARO30M"), Now - s, 1012.5);
        for (int s = 300; s <= 310; s += 2)
            insertRow(QStringLiteral("BARO30M"), Now - s, 1012.0);
        g_dataSource->updateChart(0);
        QCOMPARE(seriesCount(), 4);
        const QAbstractSeries::SeriesType type = series(0)->type();
        const QList<int> points = {11, 11, 6};
        for (int n = 0; n < 3; ++n) {
            auto *run = qobject_cast<QXYSeries *>(series(n));
            QVERIFY(run);
            QCOMPARE(run->type(), type);
            QCOMPARE(run->color(), QColor(QStringLiteral("#E63219")));
            QCOMPARE(run->pen().widthF(), 2.0);
            QCOMPARE(run->count(), points.at(n));
        }
        auto *cross = qobject_cast<QXYSeries *>(series(3));
        QCOMPARE(cross, crossHair());
        QVERIFY(cross->pointsVisible());
        QVERIFY(!cross->isVisible());
        QCOMPARE(cross->pen().style(), Qt::DotLine);

        // Back to one run: the surplus series go, the cross-hair stays last.
        QSqlQuery(database()).exec(QStringLiteral("DELETE FROM BARO30M WHERE TIME < %1").arg(Now - 50));
        g_dataSource->updateChart(0);
        QCOMPARE(seriesCount(), 2);
        QCOMPARE(qobject_cast<QXYSeries *>(series(1)), crossHair());
        QCOMPARE(qobject_cast<QXYSeries *>(series(0))->count(), 11);
    }

    void flatHistoryGetsFewYTicks_data()
    {
        QTest::addColumn<QList<double>>("pressures");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<int>("ticks");
        QTest::newRow("one value") << QList<double>{1013.25} << 1013.24 << 1013.26 << 2;
        QTest::newRow("0.01 apart") << QList<double>{1013.25, 1013.26} << 1013.24 << 1013.27 << 3;
        QTest::newRow("0.02 apart") << QList<double>{1013.25, 1013.27} << 1013.24 << 1013.28 << 4;
        QTest::newRow("0.05 apart") << QList<double>{1013.25, 1013.30} << 1013.24 << 1013.31 << 6;
    }

    void flatHistoryGetsFewYTicks()
    {
        QFETCH(QList<double>, pressures);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(int, ticks);
        for (int i = 0; i < pressures.size(); ++i)
            insertRow(QStringLiteral("BARO30M"), Now - 2 * i, pressures.at(i));
        g_dataSource->updateChart(0);
        QCOMPARE(m_axisY->property("min").toDouble(), lower);
        QCOMPARE(m_axisY->property("max").toDouble(), upper);
        QCOMPARE(m_axisY->property("tickCount").toInt(), ticks);
    }

    void emptyHistoryKeepsTheYAxis()
    {
        g_dataSource->updateChart(0);
        QCOMPARE(m_axisY->property("min").toDouble(), 980.0);
        QCOMPARE(m_axisY->property("max").toDouble(), 1050.0);
        QCOMPARE(seriesCount(), 2);
    }

    void threeHourTextOnlyOnThreeHourSpanAndNotDuringReadOut()
    {
        insertRow(QStringLiteral("BARO3H"), Now - 10800, 1013.0);
        for (int s = 0; s <= 60; s += 6)
            insertRow(QStringLiteral("BARO3H"), Now - s, 1014.27);
        g_backEnd->setPressure(1014.27, SourceInternal);
        g_dataSource->recordSample(0, 0, 0, 0, 0, 1014.27); // the store's present instant
        const QString change = QStringLiteral("<div align='left'>1.3 mb / 3h</div>");
        QCOMPARE(g_dataSource->getTrend3h(), change);

        pressSpan(QStringLiteral("3h"));
        QCOMPARE(title(), change);
        pressSpan(QStringLiteral("6h"));
        QCOMPARE(title(), QString());
        pressSpan(QStringLiteral("3h"));
        QCOMPARE(title(), change);

        // A read-out owns the title until it times out.
        readOut(QPointF(-0.005, 1014.27));
        const QString info = title();
        QVERIFY(info.contains(QLatin1String("1014.3")));
        QVERIFY(info != change);
        g_dataSource->updateChart(1);
        QCOMPARE(title(), info);
        m_screen->screenshot(QStringLiteral("baro_readout"));
    }

    void readOutClearsAfterItsInterval()
    {
        QObject *timer = m_page->findChild<QObject *>(QStringLiteral("readOutTimer"));
        QVERIFY(timer);
        QCOMPARE(m_page->property("readOutInterval").toInt(), 6000);
        for (int s = 0; s <= 20; s += 2)
            insertRow(QStringLiteral("BARO30M"), Now - s, 1013.0);
        g_dataSource->updateChart(0);
        m_page->setProperty("readOutInterval", 60); // the seam: 6 s become 60 ms
        readOut(QPointF(-0.1, 1013.0));
        QVERIFY(!title().trimmed().isEmpty());
        QVERIFY(crossHair()->isVisible());
        QCOMPARE(crossHair()->count(), 3);
        QCOMPARE(crossHair()->at(1), QPointF(-0.1, 1013.0));
        QCOMPARE(timer->property("running").toBool(), true);
        QTRY_COMPARE(title(), QString());
        QVERIFY(!crossHair()->isVisible());
    }

    void readOutWithoutValueClearsAtOnce()
    {
        readOut(QPointF(-3.0, 1013.0));
        QVERIFY(crossHair()->isVisible());
        readOut(QPointF(-3.0, -1000.0));
        QCOMPARE(title(), QString());
        QVERIFY(!crossHair()->isVisible());
    }

    void keptReadOutFollowsItsInstant()
    {
        for (int s = 0; s <= 600; s += 2)
            insertRow(QStringLiteral("BARO30M"), Now - s, 1013.0);
        g_dataSource->updateChart(0);
        readOut(QPointF(-5.0, 1013.0));
        Clock::setWallClock((Now + 120) * 1000); // two minutes later
        g_dataSource->updateChart(0);
        QVERIFY(crossHair()->isVisible());
        QCOMPARE(crossHair()->at(1).x(), -7.0);
        QCOMPARE(m_page->property("m_point").toPointF().x(), -7.0);
    }

    void spanPressWhileZoomedResetsZoom()
    {
        QVERIFY(QMetaObject::invokeMethod(m_page, "zoomIn", Q_ARG(QVariant, 1.1)));
        QCOMPARE(m_page->property("zoomLevel").toDouble(), 1.1);
        QVERIFY(isZoomed());
        pressSpan(QStringLiteral("6h"));
        QVERIFY(!isZoomed());
        QCOMPARE(m_page->property("zoomLevel").toDouble(), 1.0);
        QCOMPARE(m_page->property("paning").toBool(), false);
        QCOMPARE(m_axisX->property("min").toDouble(), -6.0);
    }

    void unknownTrendCodesKeepTheArrow_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("image");
        const QString kept = QStringLiteral("Trend_Falling Fast~universal.png");
        QTest::newRow("-10") << -10 << "Trend_None~universal.png";
        QTest::newRow("1") << 1 << "Trend_Steady~universal.png";
        QTest::newRow("-1") << -1 << "Trend_Steady~universal.png";
        QTest::newRow("2") << 2 << "Trend_Rising~universal.png";
        QTest::newRow("3") << 3 << "Trend_Rising Fast~universal.png";
        QTest::newRow("4") << 4 << "Trend_Rising Very Fast~universal.png";
        QTest::newRow("-2") << -2 << "Trend_Falling~universal.png";
        QTest::newRow("-4") << -4 << "Trend_Falling Very Fast~universal.png";
        QTest::newRow("0 unknown") << 0 << kept;
        QTest::newRow("5 unknown") << 5 << kept;
        QTest::newRow("-5 unknown") << -5 << kept;
        QTest::newRow("10 unknown") << 10 << kept;
    }

    void unknownTrendCodesKeepTheArrow()
    {
        QFETCH(int, code);
        QFETCH(QString, image);
        QObject *arrow = m_page->findChild<QObject *>(QStringLiteral("trendImage"));
        QVERIFY(QMetaObject::invokeMethod(arrow, "showTrend", Q_ARG(QVariant, -3)));
        QVERIFY(QMetaObject::invokeMethod(arrow, "showTrend", Q_ARG(QVariant, code)));
        QCOMPARE(arrow->property("source").toUrl(), QUrl(QStringLiteral("qrc:/Images/") + image));
    }

    void noPressureHidesRowAndArrow()
    {
        QQuickItem *big = m_screen->find<QQuickItem>(QStringLiteral("baroV"));
        QVERIFY(big);
        auto item = [](QObject *page, const char *name) {
            return page->findChild<QQuickItem *>(QLatin1String(name));
        };
        sendSample(QStringLiteral("06/12/2026 13:00:00"), QStringLiteral("No Position"), QStringLiteral("no"),
                   QStringLiteral("NONE"));
        QVERIFY(!item(m_page, "pressureRow")->isVisible());
        QVERIFY(!item(m_page, "trendImage")->isVisible());
        QVERIFY(!item(m_page, "positionText")->isVisible());
        QCOMPARE(item(m_page, "dateText")->property("text").toString(), QStringLiteral("06/12/2026 13:00:00"));
        QVERIFY(!item(big, "pressureRow")->isVisible());
        QCOMPARE(title(), QString());

        emitUnblocked([] { emit g_backEnd->noPressureAvailable(); });
        QCOMPARE(item(m_page, "levelLabel")->property("text").toString(),
                 QStringLiteral("No pressure data available"));
        QCOMPARE(item(big, "levelLabel")->property("text").toString(),
                 QStringLiteral("No pressure data available"));

        sendSample(QStringLiteral("06/12/2026 13:00:02"), QStringLiteral("47 30.000 N 003 15.000 W"),
                   QStringLiteral("COG 090deg T - SOG 5.0 kn"), QStringLiteral("1013.2 hPa"));
        QVERIFY(item(m_page, "pressureRow")->isVisible());
        QVERIFY(item(m_page, "trendImage")->isVisible());
        QCOMPARE(item(m_page, "pressureText")->property("text").toString(), QStringLiteral("1013.2 hPa"));
        QCOMPARE(item(m_page, "positionText")->property("text").toString(),
                 QStringLiteral("47 30.000 N 003 15.000 W COG 090deg T - SOG 5.0 kn"));
        QCOMPARE(item(big, "positionText")->property("text").toString(),
                 QStringLiteral("47 30.000 N 003 15.000 W\nCOG 090deg T - SOG 5.0 kn"));
        QCOMPARE(item(m_page, "levelLabel")->property("text").toString(),
                 QStringLiteral("Sea Level Pressure (QNH)"));
        QVERIFY(item(big, "pressureRow")->isVisible());
        QCOMPARE(item(big, "pressureText")->property("text").toString(), QStringLiteral("1013.2 hPa"));

        g_backEnd->setSetting(QStringLiteral("preDisplay"), 1);
        sendSample(QStringLiteral("06/12/2026 13:00:04"), QStringLiteral("47 30.000 N 003 15.000 W"),
                   QStringLiteral("no"), QStringLiteral("1012.0 hPa"));
        QCOMPARE(item(m_page, "levelLabel")->property("text").toString(),
                 QStringLiteral("Station Level Pressure (QFE)"));
        QCOMPARE(item(m_page, "positionText")->property("text").toString(),
                 QStringLiteral("47 30.000 N 003 15.000 W"));
    }

    // Pictures to look at: half an hour of history, a fix and a trend.
    void screenshotsWithHistory_data()
    {
        QTest::addColumn<int>("theme");
        QTest::newRow("light") << 0;
        QTest::newRow("dark") << 1;
    }

    void screenshotsWithHistory()
    {
        QFETCH(int, theme);
        delete m_screen;
        m_screen = new ScreenHarness({{QStringLiteral("theme"), theme}});
        QVERIFY(m_screen->waitExposed());
        QTRY_VERIFY((m_page = m_screen->find<QQuickItem>(QStringLiteral("baroH"))));
        m_chart = m_page->findChild<QQuickItem *>(QStringLiteral("chart"));
        g_backEnd->blockSignals(true);
        for (int s = 0; s < 1800; s += 2)
            insertRow(QStringLiteral("BARO30M"), Now - s, 1013.0 + 0.6 * std::sin(s / 300.0) + (s > 900 ? 0.3 : 0));
        g_backEnd->setPressure(1013.0, SourceInternal);
        sendSample(QStringLiteral("13:00:00 (UTC) 6 Dec 2026"), QStringLiteral("47 30.000 N 003 15.000 W"),
                   QStringLiteral("COG 090deg T - SOG 5.0 kn"), QStringLiteral("1013.0 hPa"));
        QCOMPARE(seriesCount(), 2);
        QVERIFY(qobject_cast<QXYSeries *>(series(0))->count() > 800);
        const QString name = theme ? QStringLiteral("dark") : QStringLiteral("light");
        const QImage chartShot = m_screen->screenshot(QStringLiteral("baro_chart_") + name);
        QCOMPARE(qobject_cast<QXYSeries *>(series(0))->color(), QColor(QStringLiteral("#E63219")));
        // Some pixels of the chart line are drawn in its colour.
        int red = 0;
        for (int y = chartShot.height() / 2; y < chartShot.height(); ++y)
            for (int x = 0; x < chartShot.width(); ++x) {
                const QColor c = chartShot.pixelColor(x, y);
                red += (c.red() > 200 && c.green() < 90 && c.blue() < 60);
            }
        QVERIFY(red > 200);
        readOut(QPointF(-12.0, 1013.2));
        m_screen->screenshot(QStringLiteral("baro_readout_") + name);
        m_screen->find(QStringLiteral("baroView"))->setProperty("currentIndex", 1);
        QTest::qWait(500); // the page slides in
        m_screen->screenshot(QStringLiteral("baro_digits_") + name);
    }

private:
    static QSqlDatabase database() { return QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")); }

    static void insertRow(const QString &table, qint64 time, double pressure)
    {
        QSqlQuery query(database());
        QVERIFY2(query.exec(QStringLiteral("INSERT INTO %1 (TIME, LON, LAT, COG, SOG, PRE, ELE, OFS) "
                                           "VALUES (%2, 0, 0, 0, 0, %3, 0, 0)")
                                .arg(table)
                                .arg(time)
                                .arg(pressure, 0, 'f', 2)),
                 qPrintable(query.lastError().text()));
    }

    template <typename F>
    static void emitUnblocked(F emitter)
    {
        g_backEnd->blockSignals(false);
        emitter();
        g_backEnd->blockSignals(true);
    }

    static void sendSample(const QString &date, const QString &position, const QString &cogsog,
                           const QString &pressure)
    {
        emitUnblocked([&] { emit g_backEnd->dataUpdated(date, position, cogsog, pressure); });
    }

    void pressSpan(const QString &label)
    {
        QQuickItem *button = ScreenHarness::findItem(m_page, QStringLiteral("span_") + label);
        QVERIFY2(button, qPrintable(label));
        m_screen->click(button);
        QTRY_VERIFY(button->property("checked").toBool());
    }

    void readOut(const QPointF &point)
    {
        QVERIFY(QMetaObject::invokeMethod(m_page, "serieClicked", Q_ARG(QVariant, point), Q_ARG(QVariant, false)));
    }

    QString title() const { return m_chart->property("title").toString(); }
    int seriesCount() const { return m_chart->property("count").toInt(); }
    bool isZoomed() const
    {
        bool zoomed = false;
        QMetaObject::invokeMethod(m_chart, "isZoomed", Q_RETURN_ARG(bool, zoomed));
        return zoomed;
    }

    QAbstractSeries *series(int n) const
    {
        QAbstractSeries *s = nullptr;
        QMetaObject::invokeMethod(m_chart, "series", Q_RETURN_ARG(QAbstractSeries *, s), Q_ARG(int, n));
        return s;
    }

    QXYSeries *crossHair() const
    {
        return qobject_cast<QXYSeries *>(m_page->property("crossHair").value<QObject *>());
    }

    TestSupport::MessageLog *m_log = nullptr;
    ScreenHarness *m_screen = nullptr;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_chart = nullptr;
    QObject *m_axisX = nullptr;
    QObject *m_axisY = nullptr;
};

QTEST_MAIN(TestBaroScreen)
#include "tst_baroscreen.moc"
