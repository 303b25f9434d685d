// The real window under Xvfb, driven with the mouse: geometry, tabs, theme, language, and the barograph page over a
// real store: its layout at the sailors' window sizes, runs, title, read-out, zoom and pan.
#include "screenharness.h"

#include <QGraphicsScene>
#include <QGraphicsTextItem>

#include <QQmlComponent>
#include <QQmlExpression>
#include <QQmlProperty>
#include <QScreen>
#include <QStandardPaths>
#include <QXYSeries>

using namespace TestSupport;
using namespace QtCharts;

class TestScreens : public QObject
{
    Q_OBJECT

    MessageLog *m_log = nullptr;
    ScreenHarness *m_screen = nullptr;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_chart = nullptr;

    void open(const QVariantMap &settings = {}) // the barograph page
    {
        delete m_screen;
        m_screen = new ScreenHarness(settings);
        QVERIFY(m_screen->waitExposed());
        QTRY_VERIFY((m_page = m_screen->find<QQuickItem>("baroH")));
        m_chart = m_page->findChild<QQuickItem *>("chart");
    }
    void sendSample(const QString &pressure) { emit g_backEnd->dataUpdated("13:00", " 47deg30.00'N", "no", pressure); }
    // Rows of BARO30M every 2 s, seconds back from now: "from-to:pressure ...".
    void insertRuns(const QString &runs)
    {
        for (const QString &r : runs.split(' ')) {
            for (int s = r.section('-', 0, 0).toInt(); s <= r.section('-', 1).section(':', 0, 0).toInt(); s += 2)
                insertHistoryRow("BARO30M", Clock::currentSecsSinceEpoch() - s, r.section(':', 1).toDouble());
        }
    }
    // An expression in the chart's own document: its properties, and its ids (the context of its reset button).
    QVariant js(const QString &expression) const
    {
        return QQmlExpression(qmlContext(m_chart->findChild<QObject *>("resetZoom")), m_chart, expression).evaluate();
    }
    // The pressure labels as the chart draws them, right of the plot, elided or not.
    QStringList pressureLabels() const
    {
        QStringList texts;
        const QRectF plot = js("chart.plotArea").toRectF();
        for (QGraphicsItem *item : m_chart->findChild<QGraphicsScene *>()->items()) {
            auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            if (text && text->isVisible() && text->sceneBoundingRect().left() >= plot.right())
                texts << text->toPlainText();
        }
        return texts;
    }
    QQuickItem *item(const char *name, const char *page = "baroH") const
    {
        return m_screen->find<QQuickItem>(page)->findChild<QQuickItem *>(name);
    }
    QString title() const { return js("chart.title").toString(); }
    QXYSeries *series(const QString &which) const { return qobject_cast<QXYSeries *>(js(which).value<QObject *>()); }
    QPoint at(double x, double y) const // the window position of a chart value
    {
        const QVariant p = js(QString("chart.mapToPosition(Qt.point(%1, %2), chart.dataSeries(0))").arg(x).arg(y));
        return m_chart->mapToScene(p.toPointF()).toPoint();
    }
    void wheel(QPoint position)
    {
        QWheelEvent event(position, m_screen->window()->mapToGlobal(position), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QGuiApplication::sendEvent(m_screen->window(), &event);
    }
    void pressSpan(const QString &label)
    {
        QQuickItem *button = ScreenHarness::findItem(m_page, "span_" + label);
        m_screen->click(button);
        QTRY_VERIFY(button->property("checked").toBool());
    }

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }
    void init()
    {
        Clock::setWallClock(1780000000000);
        Clock::setIntervalScale(1000); // only the samples a test sends reach the screens, not the back end's own
        m_log = new MessageLog;
    }
    void cleanup()
    {
        delete m_screen;
        m_screen = nullptr;
        Clock::reset();
        const QStringList problems = ScreenHarness::qmlProblems(*m_log);
        delete m_log;
        QCOMPARE(problems, QStringList());
    }

    // 70 % of the screen, centred, as QML rounds it to whole pixels, unless a usable geometry was stored: whole
    // numbers, at shutdown.
    void geometry_data()
    {
        QTest::addColumn<QString>("stored");
        for (const char *stored : {"", "1343.5 700", "800 0", "wide high"})
            QTest::newRow(*stored ? stored : "first start") << QString(stored);
    }
    void geometry()
    {
        QFETCH(QString, stored);
        TempWorkDir dir;
        if (!stored.isEmpty())
            writeSettings({{"windowWidth", stored.section(' ', 0, 0)}, {"windowHeight", stored.section(' ', 1)}});
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        for (const QRect expected : {QRect(qRound(s.width() * .15), qRound(s.height() * .15), qRound(s.width() * .7),
                                           qRound(s.height() * .7)), QRect(101, 57, 811, 533)}) {
            ScreenHarness screen({}, false);
            QVERIFY(screen.waitExposed());
            QCOMPARE(screen.window()->geometry(), expected);
            screen.window()->setGeometry(101, 57, 811, 533);
            QTRY_COMPARE(screen.window()->width(), 811);
        }
    }

    // Each tab loads its screen; a language change reloads the settings screen with its loader; Qt's own texts and
    // QML texts follow.
    void tabsAndLanguage()
    {
        open();
        for (const char *file : {QUILLMERE_BIN_DIR "/translations/Quillmere_fr_FR.qm",
                                 "/usr/share/qt5/translations/qtbase_fr.qm"})
            QVERIFY(QFile::copy(file, QFileInfo(file).fileName()));
        QObject *host = m_screen->find("screenHost");
        for (const char *tab : {"Data:FilesSwipe", "Settings:settings", "Help:Help_textview", "Barograph:BaroSwipe"}) {
            m_screen->click(m_screen->find<QQuickItem>("tab" + QString(tab).section(':', 0, 0)));
            QTRY_COMPARE(host->property("source").toUrl(), QUrl("qrc:/" + QString(tab).section(':', 1) + ".qml"));
            QTRY_COMPARE(host->property("status").toInt(), 1); // Loader.Ready
        }
        QQmlComponent component(qmlEngine(m_screen->window()));
        component.setData("import QtQml 2.15; QtObject { property string unit: qsTranslate('QObject', 'deg') }", {});
        QScopedPointer<QObject> unit(component.create());
        m_screen->translateHandler()->selectLanguage("fr");
        QTRY_COMPARE(host->property("source").toUrl(), QUrl("qrc:/settings.qml"));
        QCOMPARE(qvariant_cast<QObject *>(qvariant_cast<QObject *>(host->property("item"))->property("loader")), host);
        QCOMPARE(unit->property("unit").toString(), QString("°"));
        QCOMPARE(qApp->translate("QPlatformTheme", "Cancel"), QString("Annuler"));
        QCOMPARE(QLocale().decimalPoint(), QChar(','));
        m_screen->translateHandler()->selectLanguage("en");
        QCOMPARE(qApp->translate("QPlatformTheme", "Cancel"), QString("Cancel"));
        QCOMPARE(QLocale().name(), QString("en_US"));
    }

    // Dark by the setting, or by a change of the system's theme; the barograph pages swipe only with the split screen
    // on.
    void themeAndSwipe()
    {
        for (int theme : {0, 1}) {
            open({{"theme", theme}, {"splitScreen", theme}});
            QCOMPARE(m_screen->window()->color().lightness() < 128, theme == 1);
            QCOMPARE(js("backgroundColor").value<QColor>().lightness() < 128, theme == 1); // the chart's too
            const QString icon = QQmlProperty::read(m_screen->find("tabBarograph"), "icon.source").toString();
            QCOMPARE(icon.contains("yellow"), theme == 1);
            QCOMPARE(m_screen->find("baroView")->property("interactive").toBool(), theme == 1);
            QCOMPARE(m_screen->find("baroIndicator")->property("visible").toBool(), theme == 1);
            emit g_backEnd->systemThemeChanged(1 - theme);
            QTRY_COMPARE(m_screen->window()->color().lightness() < 128, theme == 0);
            QTRY_COMPARE(js("backgroundColor").value<QColor>().lightness() < 128, theme == 0);
        }
    }

    // One series per run of the history in the line's style, the cross-hair last; surplus series go with their runs.
    void chartRuns()
    {
        open();
        insertRuns("0-20:1013 100-120:1012.5 300-310:1012");
        g_dataSource->updateChart(0);
        QCOMPARE(js("chart.count").toInt(), 5); // the long spans' band first, hidden
        QVERIFY(!js("band.visible").toBool());
        for (const QString n : {"1", "2", "3"}) {
            QXYSeries *run = series("chart.series(" + n + ")");
            QVERIFY(run->type() == series("chart.series(1)")->type() && run->color() == QColor("#E63219"));
            QCOMPARE(run->count(), n == "3" ? 6 : 11);
        }
        QCOMPARE(series("chart.series(4)"), series("crossHair"));
        QVERIFY(historySql("DELETE FROM BARO30M"));
        insertRuns("0-10:1013");
        g_dataSource->updateChart(0);
        QCOMPARE(js("chart.count").toInt(), 3);
    }

    // At the sailors' window sizes, light and dark, with and without the storm banner, a title over the chart (the
    // three-hour change) and the position shown: the plot keeps 120 px and three pressure labels, none elided; a pressure
    // 31 s old is greyed, with its source and age and the fix's beside it.
    void layout_data() { addRows("layouts.tsv"); }
    void layout()
    {
        const QString size = cell("size");
        open({{"windowX", 0}, {"windowY", 0}, {"windowWidth", size.section('x', 0, 0)},
              {"windowHeight", size.section('x', 1)}, {"theme", cell("theme")}, {"alarmOn", cell("banner")}});
        QCOMPARE(m_screen->window()->size(), QSize(size.section('x', 0, 0).toInt(), size.section('x', 1).toInt()));
        g_backEnd->setFix(QPointF(-4.0, 47.5), 6.0, 225.0, SourceTcp);
        g_backEnd->setPressure(1007.0, SourceTcp);
        Clock::advance(31000); // greyed, with its age and the fix's
        insertHistoryRow("BARO3H", Clock::currentSecsSinceEpoch() - 10800, 1013.0);
        for (int s = 0; s <= 1800; s += 6)
            insertHistoryRow("BARO3H", Clock::currentSecsSinceEpoch() - s, 1007.0 + s / 1800.0);
        g_backEnd->slot_timerData();
        pressSpan("3h");
        QTRY_COMPARE(ScreenHarness::findItem(m_screen->window()->contentItem(), "alarmBanner")->isVisible(),
                     cell("banner") == "1");
        QTRY_VERIFY(title().contains("mb / 3h") && item("positionText")->isVisible());
        QTRY_VERIFY2(js("chart.plotArea.height").toDouble() >= 120, qPrintable(js("chart.plotArea.height").toString()));
        QTRY_VERIFY2(pressureLabels().size() >= 3 && pressureLabels().filter(QRegularExpression("\\.\\.\\.|\u2026")).isEmpty(),
                     qPrintable(pressureLabels().join(' ')));
        QCOMPARE(item("pressureText")->property("text").toString(), QString("1007.0 mb"));
        QCOMPARE(item("pressureText")->property("color").value<QColor>(), QColor("#9E9E9E"));
        QCOMPARE(item("originText")->property("text").toString(), QString("Pressure: TCP · 31 s   Position: TCP · 31 s"));
        QVERIFY(item("originText")->isVisible() && item("originText")->property("contentWidth").toDouble() <= m_page->width());
        // The thirteen span buttons, each whole and unshrunk, none over another, all in the window.
        const QStringList labels = js("spans.map(function(s) { return s.label })").toStringList();
        QCOMPARE(labels.size(), 13);
        QList<QRectF> buttons;
        for (const QString &label : labels) {
            QQuickItem *button = ScreenHarness::findItem(m_page, "span_" + label);
            const QRectF r = button->mapRectToScene(QRectF(0, 0, button->width(), button->height()));
            QVERIFY2(button->isVisible() && QRectF(QPointF(), m_screen->window()->size()).contains(r)
                         && r.width() >= button->implicitWidth() - 0.5, qPrintable(label));
            for (const QRectF &other : qAsConst(buttons))
                QVERIFY2(!other.intersects(r), qPrintable(label));
            buttons << r;
        }
        if (!qEnvironmentVariableIsEmpty("QUILLMERE_SHOTS")) // to look at: a folder for the pictures
            m_screen->window()->grabWindow().save(qEnvironmentVariable("QUILLMERE_SHOTS") + "/" + QTest::currentDataTag() + ".png");
    }

    // However the window is drawn (here, with no graphics processor, by the software renderer), a raised button keeps
    // its face: the first-start prompt's button is filled, not left as bare text on the page.
    void raisedButtonDrawn()
    {
        open();
        QQuickItem *button = ScreenHarness::findItem(m_page, "sourceButton");
        QTRY_VERIFY(button && button->isVisible());
        const QPoint face = button->mapToScene(QPointF(4, button->height() / 2)).toPoint();
        const QPoint page = button->mapToScene(QPointF(-8, button->height() / 2)).toPoint();
        QTRY_VERIFY2(m_screen->window()->grabWindow().pixelColor(face) != m_screen->window()->grabWindow().pixelColor(page),
                     qPrintable(m_screen->window()->grabWindow().pixelColor(face).name()));
    }

    // The archive's spans over a year of hours: the band of the hourly extremes under the mean, the axis over the
    // span (for "All" from the oldest hour), an alarm marked, the read-out of an hour, zoom and its reset; the band
    // goes with the nine spans.
    void longSpans()
    {
        Clock::setWallClock(1733407509000);
        open({{"windowX", 0}, {"windowY", 0}, {"windowWidth", 800}, {"windowHeight", 480}, {"timeZone", 0}});
        QVERIFY(historySql(dataFile("archive_year.sql")));
        QVERIFY(historySql("INSERT INTO ALARMS (START, KIND, CHANGE3H, PRESSURE, ACK) VALUES (1733200000, 'fall', -4.2, "
                           "1001, 0)"));
        pressSpan("30d");
        QVERIFY(js("band.visible && axisX.min == -30 && axisX.max == 0 && alarmMarks.model.length == 1").toBool());
        QCOMPARE(series("bandHigh")->count(), 719); // the hours of 30 days back from now
        pressSpan("1y");
        QVERIFY(js("band.visible && axisX.min == -365 && dataSeriesCount() == 2").toBool()); // the day's gap breaks it
        QVERIFY(series("bandLow")->count() > 8700 && js("axisY.min <= 994.5 && axisY.max >= 1026").toBool());
        QTest::mouseMove(m_screen->window(), at(-101, 1010));
        QTest::mouseMove(m_screen->window(), at(-100, 1010));
        QTRY_VERIFY2(title().contains(" mb") && title().contains("27 Aug 2024"), qPrintable(title()));
        pressSpan("All");
        QVERIFY(js("axisX.min < -364.9 && axisX.min == dataSource.getChartStart()").toBool());
        const double start = js("axisX.min").toDouble();
        wheel(at(-100, 1010));
        QVERIFY(js("zoomed && resetZoom.visible").toBool() && js("axisX.min").toDouble() > start);
        m_screen->click(ScreenHarness::findItem(m_chart, "resetZoom"));
        QTRY_COMPARE(js("axisX.min").toDouble(), start);
        pressSpan("16d");
        QVERIFY(js("!band.visible && axisX.min == -16").toBool());
        if (!qEnvironmentVariableIsEmpty("QUILLMERE_SHOTS")) {
            pressSpan("1y");
            m_screen->window()->grabWindow().save(qEnvironmentVariable("QUILLMERE_SHOTS") + "/year.png");
        }
    }

    // The three-hour change is the title on the 3-hour span only, never while a read-out shows; hovering shows one,
    // which clears after its interval; a kept read-out moves left with time; one without a value clears at once.
    void titleAndReadOut()
    {
        open();
        insertHistoryRow("BARO3H", 1780000000 - 10800, 1013.0);
        for (int s = 0; s <= 120; s += 6)
            insertHistoryRow("BARO3H", 1780000000 - s, 1014.27);
        g_backEnd->setPressure(1014.27, SourceInternal);
        g_dataSource->recordSample(0, 0, 0, 0, 0, 1014.27); // the store's present
        sendSample("1014.3 mb");
        for (const char *span : {"3h", "6h", "3h"}) {
            pressSpan(span);
            QCOMPARE(title(), span[0] == '6' ? QString() : QString("<div align='left'>1.3 mb / 3h</div>"));
        }
        m_chart->setProperty("readOutInterval", 1000); // the seam: 6 s become 1 s
        QTest::mouseMove(m_screen->window(), at(-0.1, 1014.27)); // the pointer enters the chart
        QTest::mouseMove(m_screen->window(), at(-0.02, 1014.27)); // and moves over it
        QTRY_VERIFY(title().contains("1014.3 mb") && js("crossHair.visible").toBool());
        const double x = series("crossHair")->at(1).x();
        Clock::setWallClock(1780000000000 + 36000);
        g_dataSource->updateChart(1);
        QVERIFY(title().contains("1014.3 mb"));
        QCOMPARE(series("crossHair")->at(1).x(), x - 0.01);
        QTRY_COMPARE(title(), QString());
        QVERIFY(!js("crossHair.visible").toBool());
        QVERIFY(js("serieClicked(Qt.point(-2, 1014.27), false), crossHair.visible").toBool());
        QVERIFY(!js("serieClicked(Qt.point(-2, -1000), false), crossHair.visible").toBool() && title().isEmpty());
    }

    // The wheel zooms the time about the pointer, the pressures following the points in view; a drag pans, never past
    // now nor before the oldest sample; the reset control and a double click undo it; no sample rebuilds the chart
    // while zoomed; a span press resets the zoom.
    void zoomAndPan()
    {
        open();
        insertRuns("0-600:1013 602-1700:1010");
        sendSample("1013.0 mb");
        QVERIFY(js("axisY.min <= 1010 && axisY.max >= 1013 && !resetZoom.visible").toBool());
        const QPoint middle = at(-2.0, 1011.5);
        for (int i = 0; i < 20; ++i)
            wheel(middle);
        QVERIFY(js("zoomLevel > 6 && axisX.min > -7 && axisX.max < -1 && resetZoom.visible").toBool());
        QVERIFY(js("axisY.min > 1011 && axisY.max < 1015").toBool());
        QSignalSpy rebuilt(g_dataSource, &DataSource::chartUpdated);
        sendSample("1013.0 mb");
        QCOMPARE(rebuilt.count(), 0);
        const auto drag = [this](QPoint from, int by) {
            QTest::mousePress(m_screen->window(), Qt::LeftButton, Qt::NoModifier, from);
            for (int step = 1; step <= 10; ++step)
                QTest::mouseMove(m_screen->window(), from + QPoint(by * step / 10, 0));
            QVERIFY(js("paning").toBool());
            QTest::mouseRelease(m_screen->window(), Qt::LeftButton, Qt::NoModifier, from + QPoint(by, 0));
        };
        const double width = js("axisX.max - axisX.min").toDouble();
        const QPoint left(100, middle.y()), right(m_screen->window()->width() - 100, middle.y());
        drag(right, left.x() - right.x());
        QVERIFY(js("axisX.max == 0 && !paning").toBool());
        QCOMPARE(js("axisX.max - axisX.min").toDouble(), width);
        for (int i = 0; i < 10; ++i)
            drag(left, right.x() - left.x());
        QCOMPARE(js("axisX.min").toDouble(), -1700.0 / 60);
        QVERIFY(js("axisY.min > 1008 && axisY.max < 1012").toBool());
        m_screen->click(ScreenHarness::findItem(m_chart, "resetZoom"));
        QTRY_VERIFY(js("zoomLevel == 1 && axisX.min == -30 && axisX.max == 0 && !resetZoom.visible").toBool());
        sendSample("1013.0 mb");
        QCOMPARE(rebuilt.count(), 1);
        wheel(middle);
        QTest::mouseDClick(m_screen->window(), Qt::LeftButton, Qt::NoModifier, middle);
        QTRY_VERIFY(js("zoomLevel == 1 && axisX.min == -30").toBool());
        wheel(middle);
        pressSpan("6h");
        QVERIFY(js("zoomLevel == 1 && axisX.min == -6").toBool());
    }

    // Unmapped, as minimised, for ten sample periods: the samples are recorded, and no frame is drawn nor the chart
    // rebuilt; mapped again, the chart catches up with the newest sample in one step, unless zoomed.
    void unmapped_data() { addRows("unmapped.tsv"); }
    void unmapped()
    {
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool unmaps the window; it is not installed (scripts/packages)");
        Clock::setIntervalScale(0.05); // a sample every 100 ms, each 2 s later on the wall clock
        open();
        auto *timer = g_backEnd->findChild<QTimer *>("sampleTimer");
        int n = 1, stopAt = -1;
        g_backEnd->setPressure(1000.1, SourceTcp);
        connect(timer, &QTimer::timeout, m_chart, [&] { // after the tick: the next one's time and pressure
            Clock::setWallClock(Clock::currentMSecsSinceEpoch() + 2000);
            g_backEnd->setPressure(1000 + 0.1 * ++n, SourceTcp);
            if (n > stopAt && stopAt > 0)
                timer->stop();
        });
        QTRY_VERIFY(n > 3);
        if (cell("zoomed") == "1")
            wheel(at(-2.0, 1000.2));
        std::atomic<int> frames{0};
        connect(m_screen->window(), &QQuickWindow::frameSwapped, m_chart, [&] { ++frames; }, Qt::DirectConnection);
        const QString id = QString::number(m_screen->window()->winId());
        QCOMPARE(QProcess::execute("xdotool", {"windowunmap", "--sync", id}), 0);
        QTRY_VERIFY(!g_backEnd->isWindowExposed());
        frames = 0;
        QSignalSpy rebuilt(g_dataSource, &DataSource::chartUpdated);
        const int rows = historyRowCount("BARO30M");
        stopAt = n + 9;
        QTRY_VERIFY(!timer->isActive());
        QCOMPARE(historyRowCount("BARO30M"), rows + 10);
        QCOMPARE(frames.load(), 0);
        QCOMPARE(rebuilt.count(), 0);
        QCOMPARE(QProcess::execute("xdotool", {"windowmap", "--sync", id}), 0);
        QTRY_VERIFY(frames > 0);
        QCOMPARE(rebuilt.count(), cell("rebuilt").toInt());
        const double last = 1000 + 0.1 * (n - 1); // n was set after the last tick, for a next one
        QCOMPARE(item("pressureText")->property("text").toString(), QString::number(last, 'f', 1) + " mb");
        QXYSeries *run = series("chart.series(1)"); // the newest run, after the band
        QVERIFY(run->count() > 0);
        QCOMPARE(run->at(0), cell("rebuilt") == "1" ? QPointF(0, last) : run->at(0));
    }

    // "NONE" hides the pressure row and the arrow on both pages; a value brings them back; a trend code the arrow
    // does not know leaves it as it was.
    void noPressure()
    {
        open();
        sendSample("NONE");
        QVERIFY(!item("pressureRow")->isVisible() && !item("trendImage")->isVisible());
        QVERIFY(!item("pressureRow", "baroV")->isVisible());
        emit g_backEnd->noPressureAvailable();
        QCOMPARE(item("levelLabel")->property("text").toString(), QString("No pressure data available"));
        sendSample("1013.2 hPa");
        QVERIFY(item("pressureRow")->isVisible() && item("trendImage")->isVisible());
        QCOMPARE(item("pressureText", "baroV")->property("text").toString(), QString("1013.2 hPa"));
        QCOMPARE(item("levelLabel")->property("text").toString(), QString("Sea Level Pressure (QNH)"));
        for (int code : {-3, 5})
            QMetaObject::invokeMethod(item("trendImage"), "showTrend", Q_ARG(QVariant, code));
        QCOMPARE(item("trendImage")->property("source").toUrl(), QUrl("qrc:/Images/Trend_Falling Fast~universal.png"));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
