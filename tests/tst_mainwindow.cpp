// The main window as the user meets it: geometry on first start and after a
// restart, the four tabs, the theme rule, the language reload.

#include "screenharness.h"

#include <QGuiApplication>
#include <QQmlProperty>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using TestSupport::MessageLog;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }
    void init() { Clock::reset(); }

    void startsWithoutWarningsAndLogsPlatform()
    {
        MessageLog log;
        {
            ScreenHarness screen;
            QVERIFY(screen.waitExposed());
            QVERIFY(log.contains(QStringLiteral("main page loaded, OS is linux windows size")));
            QTRY_VERIFY(screen.find<QQuickItem>(QStringLiteral("baroH")));
            QCOMPARE(ScreenHarness::qmlProblems(log), QStringList());
        }
        QVERIFY(log.contains(QStringLiteral("main.qml deleted")));
        QCOMPARE(ScreenHarness::qmlProblems(log), QStringList());
    }

    void firstStartCoversSeventyPercentCentred()
    {
        ScreenHarness screen;
        QVERIFY(screen.waitExposed());
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        QQuickWindow *w = screen.window();
        // QML rounds the fractional defaults to whole pixels (a 1024-pixel
        // screen gives 716.8, shown as 717).
        QCOMPARE(w->width(), qRound(s.width() * 0.7));
        QCOMPARE(w->height(), qRound(s.height() * 0.7));
        QCOMPARE(w->x(), qRound(s.width() / 2 - s.width() * 0.35));
        QCOMPARE(w->y(), qRound(s.height() / 2 - s.height() * 0.35));
    }

    void geometryIsSavedAndRestored()
    {
        MessageLog log;
        TestSupport::TempWorkDir dir;
        {
            ScreenHarness screen({}, false);
            QVERIFY(screen.waitExposed());
            screen.window()->setGeometry(101, 57, 811, 533);
            QTRY_COMPARE(screen.window()->width(), 811);
            emit g_backEnd->saveWindowSize();
            QVERIFY(log.contains(QStringLiteral("saving size")));
            QCOMPARE(g_backEnd->getSetting(QStringLiteral("windowWidth"), 0).toInt(), 811);
            QCOMPARE(g_backEnd->getSetting(QStringLiteral("windowHeight"), 0).toInt(), 533);
            QCOMPARE(g_backEnd->getSetting(QStringLiteral("windowX"), 0).toInt(), 101);
            QCOMPARE(g_backEnd->getSetting(QStringLiteral("windowY"), 0).toInt(), 57);
        }
        // Stored as whole numbers: a fraction would read back as 0.
        QSettings ini(QStringLiteral("barograph.ini"), QSettings::IniFormat);
        for (const char *key : {"windowWidth", "windowHeight", "windowX", "windowY"}) {
            bool whole = false;
            ini.value(QLatin1String(key)).toString().toInt(&whole);
            QVERIFY2(whole, key);
        }
        ScreenHarness again({}, false);
        QVERIFY(again.waitExposed());
        QCOMPARE(again.window()->geometry(), QRect(101, 57, 811, 533));
    }

    void unusableStoredSizeGivesDefault_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::newRow("fraction") << "1343.5" << "700";
        QTest::newRow("zero") << "800" << "0";
        QTest::newRow("garbage") << "wide" << "high";
    }

    void unusableStoredSizeGivesDefault()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        TestSupport::TempWorkDir dir;
        TestSupport::writeSettings({{QStringLiteral("windowWidth"), width},
                                    {QStringLiteral("windowHeight"), height},
                                    {QStringLiteral("windowX"), 5},
                                    {QStringLiteral("windowY"), 5}});
        ScreenHarness screen({}, false);
        QVERIFY(screen.waitExposed());
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(screen.window()->geometry(),
                 QRect(int(s.width() * 0.15), int(s.height() * 0.15), int(s.width() * 0.7), int(s.height() * 0.7)));
    }

    void tabsLoadEachScreen_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("screenItem");
        QTest::newRow("data") << "tabData" << "qrc:/FilesSwipe.qml" << "filesSwipe";
        QTest::newRow("settings") << "tabSettings" << "qrc:/settings.qml" << "";
        QTest::newRow("help") << "tabHelp" << "qrc:/Help_textview.qml" << "";
        QTest::newRow("barograph") << "tabBarograph" << "qrc:/BaroSwipe.qml" << "baroH";
    }

    void tabsLoadEachScreen()
    {
        QFETCH(QString, tab);
        QFETCH(QString, source);
        QFETCH(QString, screenItem);
        MessageLog log;
        ScreenHarness screen;
        QVERIFY(screen.waitExposed());
        QObject *host = screen.find(QStringLiteral("screenHost"));
        QVERIFY(host);
        if (tab == QLatin1String("tabBarograph"))
            screen.click(screen.find<QQuickItem>(QStringLiteral("tabHelp")));
        screen.click(screen.find<QQuickItem>(tab));
        QTRY_COMPARE(host->property("source").toUrl(), QUrl(source));
        QTRY_COMPARE(host->property("status").toInt(), 1); // Loader.Ready
        if (!screenItem.isEmpty())
            QVERIFY(screen.find(screenItem));
        if (tab == QLatin1String("tabSettings")) {
            auto *page = qvariant_cast<QObject *>(host->property("item"));
            QCOMPARE(qvariant_cast<QObject *>(page->property("loader")), host);
        }
        QCOMPARE(ScreenHarness::qmlProblems(log), QStringList());
    }

    void themeRuleAndScreenshots_data()
    {
        QTest::addColumn<int>("theme");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << 0 << false;
        QTest::newRow("dark") << 1 << true;
    }

    void themeRuleAndScreenshots()
    {
        QFETCH(int, theme);
        QFETCH(bool, dark);
        ScreenHarness screen({{QStringLiteral("theme"), theme}});
        QVERIFY(screen.waitExposed());
        const QImage shot = screen.screenshot(dark ? QStringLiteral("mainwindow_dark")
                                                   : QStringLiteral("mainwindow_light"));
        // The window's background at the bottom left, beside the tool bar.
        const QColor background = shot.pixelColor(5, shot.height() - 5);
        QCOMPARE(background.lightness() < 128, dark);
        const QColor windowColor = screen.window()->color();
        QCOMPARE(windowColor.lightness() < 128, dark);
        QCOMPARE(tabIconIsYellow(screen), dark);
    }

    void systemThemeChangeSwitchesTheme()
    {
        // Light by the setting; only the signal turns it dark.
        ScreenHarness screen({{QStringLiteral("theme"), 0}});
        QVERIFY(screen.waitExposed());
        emit g_backEnd->systemThemeChanged(1);
        QTRY_VERIFY(screen.window()->color().lightness() < 128);
        QVERIFY(tabIconIsYellow(screen));
        emit g_backEnd->systemThemeChanged(0);
        QTRY_VERIFY(screen.window()->color().lightness() >= 128);
        QVERIFY(!tabIconIsYellow(screen));
    }

    void languageChangeReloadsSettings()
    {
        MessageLog log;
        ScreenHarness screen;
        QVERIFY(screen.waitExposed());
        QObject *host = screen.find(QStringLiteral("screenHost"));
        emit screen.translateHandler()->languageChanged();
        QTRY_COMPARE(host->property("source").toUrl(), QUrl(QStringLiteral("qrc:/settings.qml")));
        QVERIFY(log.contains(QStringLiteral("language changed to ")));
        auto *page = qvariant_cast<QObject *>(host->property("item"));
        QVERIFY(page);
        QCOMPARE(qvariant_cast<QObject *>(page->property("loader")), host);
    }

    void barographSwipesOnlyWithSplitScreen_data()
    {
        QTest::addColumn<int>("splitScreen");
        QTest::newRow("single page") << 0;
        QTest::newRow("split screen") << 1;
    }

    void barographSwipesOnlyWithSplitScreen()
    {
        QFETCH(int, splitScreen);
        ScreenHarness screen({{QStringLiteral("splitScreen"), splitScreen}});
        QVERIFY(screen.waitExposed());
        QObject *view = nullptr;
        QTRY_VERIFY((view = screen.find(QStringLiteral("baroView"))));
        QObject *indicator = screen.find(QStringLiteral("baroIndicator"));
        QCOMPARE(view->property("interactive").toBool(), splitScreen == 1);
        QCOMPARE(indicator->property("visible").toBool(), splitScreen == 1);
        QCOMPARE(view->property("currentIndex").toInt(), 0);
    }

    void filesTabSwipesBackOnly()
    {
        MessageLog log;
        ScreenHarness screen;
        QVERIFY(screen.waitExposed());
        screen.click(screen.find<QQuickItem>(QStringLiteral("tabData")));
        QObject *view = nullptr;
        QTRY_VERIFY((view = screen.find(QStringLiteral("filesView"))));
        QCOMPARE(view->property("interactive").toBool(), false);
        QSignalSpy selected(view, SIGNAL(fileSelected(int)));
        QObject *list = screen.find(QStringLiteral("fileList"));
        QVERIFY(list);
        QVERIFY(QMetaObject::invokeMethod(list, "fileSelected", Q_ARG(int, 3)));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.first().first().toInt(), 3);
        QVERIFY(log.contains(QStringLiteral("file selected 3")));
        QCOMPARE(view->property("currentIndex").toInt(), 1);
        QTRY_COMPARE(view->property("interactive").toBool(), true);
        view->setProperty("currentIndex", 0);
        QTRY_COMPARE(view->property("interactive").toBool(), false);
    }

private:
    static bool tabIconIsYellow(const ScreenHarness &screen)
    {
        QObject *tab = screen.find(QStringLiteral("tabBarograph"));
        const QString source = QQmlProperty::read(tab, QStringLiteral("icon.source")).toString();
        return source.contains(QLatin1String("yellow"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
