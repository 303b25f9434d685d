// The calibration screen in the real window with nmeasim as the USB barometer
// on a pseudo-terminal: the values and the preview, calibrating, refusals,
// and the time-out when no barometer answers.
#include "screenharness.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <memory>

class TestCalibrationScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }

    void cleanup()
    {
        m_sentQueries.reset();
        m_screen.reset();
        if (m_sim) {
            m_sim->kill();
            m_sim->waitForFinished();
            m_sim.reset();
        }
        Clock::reset();
        QCOMPARE(ScreenHarness::qmlProblems(m_log), QStringList());
        m_log.clear();
    }

    void valuesAndPreview_data() { TestSupport::addCasesFromTsv(QStringLiteral("calibrationscreen")); }

    void valuesAndPreview()
    {
        QFETCH(QString, shown);
        QFETCH(QString, slope);
        QFETCH(QString, pressure);
        QFETCH(QString, offset);
        QFETCH(QString, unitPre);
        QFETCH(QString, typed);
        openWithBarometer({QStringLiteral("--slope"), slope}, pressure, offset, unitPre.toInt(),
                          shown == QLatin1String("stale"));
        if (QTest::currentTestFailed())
            return;
        QTEST(text("offsetBox", "displayText"), "box");
        QCOMPARE(text("slopeBox", "displayText"), QStringLiteral("0.0"));
        QTEST(text("preview"), "preview");
        m_screen->screenshot(QStringLiteral("calibration_") + QTest::currentDataTag());
        typeOffset(typed);
        QTEST(text("preview"), "typedPreview");
    }

    void calibrateThenNewQuery()
    {
        openWithBarometer({}, QStringLiteral("1012.00"), QStringLiteral("1.25"));
        if (QTest::currentTestFailed())
            return;
        typeOffset(QStringLiteral("2"));
        m_screen->click(item("calibrateButton"));
        // Accepted: back to the barograph, which soon shows the new calibration.
        QTRY_COMPARE(m_host->property("source").toString(), QStringLiteral("qrc:/BaroSwipe.qml"));
        QTRY_VERIFY(qAbs(g_backEnd->getCurrentPressure() - 1014.0) < 0.001);
        QSignalSpy values(g_backEnd, &BackEnd::calibrationValuesReceived);
        openScreen();
        QTRY_COMPARE(values.count(), 1);
        QCOMPARE(values.at(0).at(0).toDouble(), 2.0);
        QCOMPARE(text("offsetBox", "displayText"), QStringLiteral("2.00"));
        QCOMPARE(text("preview"), QStringLiteral("1014.00 mb"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<int>("queries");
        QTest::addColumn<bool>("enabled");
        // A refused calibration asks again and shows the unchanged values;
        // a refused query is not asked again in a loop.
        QTest::newRow("calibration refused") << "" << 2 << true;
        QTest::newRow("every command refused") << "every" << 1 << false;
    }

    void refusals()
    {
        QFETCH(QString, refuse);
        if (refuse.isEmpty()) {
            openWithBarometer({}, QStringLiteral("1012.00"), QStringLiteral("1.25"));
            if (QTest::currentTestFailed())
                return;
            typeOffset(QStringLiteral("3"));
            ::kill(m_sim->processId(), SIGUSR1);
            QVERIFY(m_sim->waitForReadyRead(5000));
            QVERIFY(m_sim->readLine().startsWith("pty: refusing the next command"));
            m_screen->click(item("calibrateButton"));
        } else {
            startBarometer({QStringLiteral("--refuse"), refuse}, QStringLiteral("1012.00"), QStringLiteral("1.25"), 0);
            openScreen();
        }
        QObject *dialog = m_screen->find<QObject>(QStringLiteral("calibrationDialog"));
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->property("visible").toBool());
        QCOMPARE(dialog->property("text").toString(), QStringLiteral("Operation failed"));
        QCOMPARE(m_host->property("source").toString(), QStringLiteral("qrc:/brenlowCalibration.qml"));
        QFETCH(bool, enabled);
        QTRY_COMPARE(item("calibrateButton")->isEnabled(), enabled);
        QTEST(queryCount(), "queries");
        if (enabled)
            QTRY_COMPARE(text("offsetBox", "displayText"), QStringLiteral("1.25"));
    }

    void noBarometerTimesOut()
    {
        Clock::setIntervalScale(0.01); // the 5-second wait lasts 50 ms
        startWindow({});
        openScreen();
        QObject *dialog = m_screen->find<QObject>(QStringLiteral("calibrationDialog"));
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->property("visible").toBool());
        QCOMPARE(dialog->property("text").toString(),
                 QStringLiteral("Operation timeout, probably no<br>Brenlow USB baro is connected"));
        for (const char *name : {"calibrateButton", "resetButton", "offsetBox", "slopeBox"})
            QVERIFY2(!item(name)->isEnabled(), name);
        QVERIFY(item("cancelButton")->isEnabled());
        // The dialog holds the window until it is closed.
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box && box->text() == dialog->property("text").toString());
        QTest::mouseClick(box->button(QMessageBox::Close), Qt::LeftButton);
        QTRY_VERIFY(!dialog->property("visible").toBool());
        m_screen->click(item("cancelButton"));
        QTRY_COMPARE(m_host->property("source").toString(), QStringLiteral("qrc:/BaroSwipe.qml"));
    }

private:
    void startBarometer(QStringList arguments, const QString &pressure, const QString &offset, int unitPre)
    {
        m_sim = std::make_unique<QProcess>();
        arguments << QStringLiteral("--pty") << QStringLiteral("--pressure") << pressure << QStringLiteral("--offset")
                  << offset;
        arguments << QStringLiteral("--rate") << QStringLiteral("5");
        const QString pty = TestSupport::startSimulator(*m_sim, arguments, QStringLiteral("pty: "));
        QVERIFY2(!pty.isEmpty(), "nmeasim printed no pseudo-terminal");
        startWindow({{QStringLiteral("SettingUseSerial"), 1},
                     {QStringLiteral("SettingSerialPort"), pty + QStringLiteral(" nmeasim barometer")},
                     {QStringLiteral("unitPre"), unitPre}});
        m_sentQueries = std::make_unique<QSignalSpy>(g_backEnd, &BackEnd::sendCalibration);
    }

    // The barometer, the window, the program showing the barometer's pressure
    // (or, stale, having shown it over a minute ago), the screen open and its
    // values arrived.
    void openWithBarometer(const QStringList &arguments, const QString &pressure, const QString &offset,
                           int unitPre = 0, bool stale = false)
    {
        startBarometer(arguments, pressure, offset, unitPre);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(g_backEnd->getCurrentPressure() > 600.0);
        if (stale)
            Clock::advance(61000);
        openScreen();
        QTRY_VERIFY(item("calibrateButton")->isEnabled());
    }

    void startWindow(const QVariantMap &settings)
    {
        m_screen = std::make_unique<ScreenHarness>(settings);
        QVERIFY(m_screen->waitExposed());
        m_host = m_screen->find<QObject>(QStringLiteral("screenHost"));
        if (!m_sentQueries)
            m_sentQueries = std::make_unique<QSignalSpy>(g_backEnd, &BackEnd::sendCalibration);
    }

    // Until the settings screen has its button, through the screen host.
    void openScreen()
    {
        m_host->setProperty("source", QStringLiteral("qrc:/brenlowCalibration.qml"));
        QTRY_VERIFY(m_screen->find<QQuickItem>(QStringLiteral("calibrationPage")));
    }

    QQuickItem *item(const char *name) const
    {
        QQuickItem *found = m_screen->find<QQuickItem>(QLatin1String(name));
        if (!found)
            qFatal("no item %s", name);
        return found;
    }

    QString text(const char *name, const char *property = "text") const
    {
        return item(name)->property(property).toString();
    }

    void typeOffset(const QString &value)
    {
        m_screen->click(item("offsetBox"));
        QTest::keyClick(m_screen->window(), Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : value)
            QTest::keyClick(m_screen->window(), c.toLatin1());
        QTest::keyClick(m_screen->window(), Qt::Key_Return);
    }

    int queryCount() const
    {
        int n = 0;
        for (const QList<QVariant> &call : *m_sentQueries)
            n += call.at(0).toString().startsWith(QLatin1String("$PWEGB,CAL?")) ? 1 : 0;
        return n;
    }

    TestSupport::MessageLog m_log;
    std::unique_ptr<QProcess> m_sim;
    std::unique_ptr<ScreenHarness> m_screen;
    std::unique_ptr<QSignalSpy> m_sentQueries;
    QObject *m_host = nullptr;
};

QTEST_MAIN(TestCalibrationScreen)
#include "tst_calibrationscreen.moc"
