// The calibration screen in the real window, nmeasim as the USB barometer on a pseudo-terminal.
#include "screenharness.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>
#include <QtTest>

#include <csignal>

class TestCalibrationScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }

    void cleanup()
    {
        m_screen.reset();
        m_sim.kill();
        m_sim.waitForFinished();
        Clock::reset();
        QCOMPARE(ScreenHarness::qmlProblems(m_log), QStringList());
        m_log.clear();
    }

    void valuesPreviewAndCommands_data() { TestSupport::addRows("calibrationscreen.tsv"); }

    void valuesPreviewAndCommands()
    {
        start({"--pressure", TestSupport::cell("pressure"), "--offset", TestSupport::cell("offset"), "--slope", TestSupport::cell("slope")},
              TestSupport::cell("unitPre").toInt());
        QTRY_VERIFY(g_backEnd->getCurrentPressure() > 600.0);
        if (TestSupport::cell("shown") == "stale")
            Clock::advance(61000);
        openScreen();
        QTRY_VERIFY(item("calibrateButton")->isEnabled());
        // As small as the window first opens on a laptop: all of it in view, without scrolling.
        m_screen->window()->resize(956, 538);
        QQuickItem *host = item("screenHost");
        for (const char *name : {"offsetBox", "slopeBox", "preview", "calibrateButton", "resetButton", "cancelButton"})
            QTRY_VERIFY2(host->contains(item(name)->mapToItem(host, QPointF(item(name)->width(), item(name)->height()))), name);
        m_screen->window()->resize(1200, 1000);
        QTEST(text("offsetBox", "displayText"), "box");
        QCOMPARE(text("slopeBox", "displayText"), QString("0.0"));
        QTEST(text("preview"), "preview");
        typeOffset(TestSupport::cell("typed"));
        QTEST(text("preview"), "typedPreview");
        if (TestSupport::cell("then") == "calibrate") {
            m_screen->click(item("calibrateButton"));
            closeDialog("Calibration accepted by the barometer", QMessageBox::Close, QMessageBox::Information);
            QTRY_COMPARE(source(), QString("qrc:/BaroSwipe.qml"));
            QTRY_VERIFY(qAbs(g_backEnd->getCurrentPressure() - TestSupport::cell("typedPreview").section(' ', 0, 0).toDouble()) < 1e-3);
            openScreen(); // a new query: the barometer holds the new offset, the program shows it
            QTRY_COMPARE(text("preview"), TestSupport::cell("typedPreview"));
            QCOMPARE(text("offsetBox", "displayText").toDouble(), TestSupport::cell("typed").toDouble());
        } else if (TestSupport::cell("then") == "refused") {
            QVERIFY(TestSupport::signalChild(m_sim, SIGUSR1));
            QVERIFY(m_sim.waitForReadyRead(5000) && m_sim.readLine().startsWith("pty: refusing the next command"));
            m_screen->click(item("calibrateButton"));
            QVERIFY(ScreenHarness::activeDialog<QMessageBox>());
            QTRY_COMPARE(m_queries, 2); // asked again: the barometer's unchanged values are back
            QTRY_COMPARE(text("offsetBox", "displayText"), TestSupport::cell("box"));
            closeDialog("Operation failed", QMessageBox::Retry); // the same calibration, accepted this time
            closeDialog("Calibration accepted by the barometer", QMessageBox::Close, QMessageBox::Information);
            QTRY_VERIFY(qAbs(g_backEnd->getCurrentPressure() - TestSupport::cell("typedPreview").section(' ', 0, 0).toDouble()) < 1e-3);
        }
    }

    void noValues_data() { TestSupport::addRows("calibrationfailures.tsv"); }

    void noValues()
    {
        const QStringList simulator = TestSupport::cell("simulator") == "none" ? QStringList() : TestSupport::cell("simulator").split(' ');
        if (simulator.isEmpty())
            Clock::setIntervalScale(0.01); // the 5-second wait lasts 50 ms
        start(simulator);
        openScreen();
        closeDialog(TestSupport::cell("message"), QMessageBox::Retry);
        QTRY_COMPARE(m_queries, 2);
        closeDialog(TestSupport::cell("message"));
        if (TestSupport::cell("message") == "Operation failed") { // the barometer that refused is connected
            emit g_backEnd->operationTimeout();
            QVERIFY(!QApplication::activeModalWidget());
        }
        QVERIFY(!item("calibrateButton")->isEnabled() && !item("resetButton")->isEnabled() && !item("offsetBox")->isEnabled());
        m_screen->click(item("cancelButton"));
        QTRY_COMPARE(source(), QString("qrc:/BaroSwipe.qml"));
    }

private:
    void start(const QStringList &simulator, int unitPre = 0)
    {
        // The settings screen whole in view, its calibration button too.
        QVariantMap settings{{"unitPre", unitPre}, {"windowX", 0}, {"windowY", 0}, {"windowWidth", 1200},
                             {"windowHeight", 1000}, {"SettingUseSerial", 1}};
        // No simulator: a port is configured, but no barometer answers on it.
        QString pty = "ttyQM9 absent barometer";
        if (!simulator.isEmpty()) {
            pty = TestSupport::startSimulator(m_sim, QStringList{"--pty", "--rate", "5"} + simulator, "pty: ");
            QVERIFY2(!pty.isEmpty(), "nmeasim printed no pseudo-terminal");
            pty += " nmeasim barometer";
        }
        settings.insert("SettingSerialPort", pty);
        m_screen = std::make_unique<ScreenHarness>(settings);
        QVERIFY(m_screen->waitExposed());
        // The serial source drops its first reads: the barometer is heard
        // once its pressure is, and only then can its replies be.
        if (!simulator.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(g_backEnd->getSerialPressure() > 0, 20000);
        m_queries = 0;
        connect(g_backEnd, &BackEnd::sendCalibration, this, [this](const QString &sent) { m_queries += sent == "$PWEGB,CAL?*1A"; });
    }

    // As a sailor reaches it: the settings tab, then its calibration button.
    void openScreen()
    {
        m_screen->click(item("tabSettings"));
        QQuickItem *button = nullptr;
        QTRY_VERIFY((button = item("calibrationButton")) && button->isEnabled());
        QVERIFY(m_screen->window()->contentItem()->contains(button->mapToScene(QPointF(button->width(), button->height()))));
        m_screen->click(button);
        QTRY_COMPARE(source(), QString("qrc:/brenlowCalibration.qml"));
    }

    QString source() const { return m_screen->find<QObject>("screenHost")->property("source").toString(); }
    QQuickItem *item(const char *name) const { return m_screen->find<QQuickItem>(name); }
    QString text(const char *name, const char *property = "text") const { return item(name)->property(property).toString(); }

    void typeOffset(const QString &value)
    {
        m_screen->click(item("offsetBox"));
        QTest::keyClick(m_screen->window(), Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : value)
            QTest::keyClick(m_screen->window(), c.toLatin1());
        QTest::keyClick(m_screen->window(), Qt::Key_Return);
    }

    void closeDialog(const QString &text, QMessageBox::StandardButton button = QMessageBox::Close,
                     QMessageBox::Icon icon = QMessageBox::Critical)
    {
        QMessageBox *box = ScreenHarness::activeDialog<QMessageBox>();
        QVERIFY(box);
        QVERIFY2(box->text() == text && box->icon() == icon, qPrintable(box->text()));
        QTest::mouseClick(box->button(button), Qt::LeftButton);
        QTRY_VERIFY(!box->isVisible());
    }


    TestSupport::MessageLog m_log;
    QProcess m_sim;
    std::unique_ptr<ScreenHarness> m_screen;
    int m_queries = 0;
};

QTEST_MAIN(TestCalibrationScreen)
#include "tst_calibrationscreen.moc"
