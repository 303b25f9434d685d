// The pictures and pages carried in the program's resources: every image the
// screens name exists at its size, with its 2x and 3x variants, and the help
// and privacy pages have what the help text rewriting expects.

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imagesHaveTheirSizeAndVariants_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        const QSize tab(48, 48);
        for (const char *icon : {"tab_graph_blue", "tab_graph_yellow", "Data_blue", "Data_yellow", "settings_tab",
                                 "settings_tab_yellow", "help_tab", "help_tab_yellow"})
            QTest::newRow(icon) << QStringLiteral("%1~universal").arg(QLatin1String(icon)) << tab;
        for (const char *trend : {"None", "Steady", "Rising", "Rising Fast", "Rising Very Fast", "Falling",
                                  "Falling Fast", "Falling Very Fast"})
            QTest::newRow(trend) << QStringLiteral("Trend_%1~universal").arg(QLatin1String(trend)) << QSize(286, 286);
        QTest::newRow("delete") << "delete" << QSize(32, 32);
        QTest::newRow("banner") << "USB_banner" << QSize(1800, 218);
        QTest::newRow("logo") << "barograph_logo~universal" << QSize(1725, 506);
    }

    void imagesHaveTheirSizeAndVariants()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        for (int scale = 1; scale <= 3; ++scale) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            const QString path = QStringLiteral(":/Images/%1%2.png").arg(name, suffix);
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), size * scale);
            QVERIFY(image.hasAlphaChannel());
            if (name.startsWith(QLatin1String("Trend_")) || name.contains(QLatin1String("tab")))
                QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // transparent background
        }
    }

    void tabIconsAreInTheirFlatColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        const QColor blue(56, 83, 164), yellow(224, 224, 0), red(237, 28, 36);
        QTest::newRow("graph blue") << "tab_graph_blue~universal" << blue;
        QTest::newRow("data yellow") << "Data_yellow~universal" << yellow;
        QTest::newRow("settings blue") << "settings_tab~universal" << blue;
        QTest::newRow("help yellow") << "help_tab_yellow~universal" << yellow;
        QTest::newRow("trend red") << "Trend_Rising~universal" << red;
    }

    void tabIconsAreInTheirFlatColour()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        const QImage image(QStringLiteral(":/Images/%1.png").arg(name));
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() < 250)
                    continue;
                ++opaque;
                // Premultiplied edges may round by a unit or two.
                const int off = qMax(qAbs(c.red() - colour.red()),
                                     qMax(qAbs(c.green() - colour.green()), qAbs(c.blue() - colour.blue())));
                QVERIFY2(off <= 3, qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(c.name())));
            }
        }
        QVERIFY(opaque > 20);
    }

    // Every "qrc:/..." the screens name must be in the resources.
    void everyResourceTheScreensNameExists()
    {
        const QRegularExpression reference(QStringLiteral("\"qrc:(/[^\"]+)\""));
        QStringList missing;
        int seen = 0;
        QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.qml")});
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            auto matches = reference.globalMatch(text);
            while (matches.hasNext()) {
                const QString path = matches.next().captured(1);
                if (path.endsWith(QLatin1Char('/')))
                    continue; // a prefix that code completes
                ++seen;
                // Help_webview.qml exists only on iOS.
                if (!QFile::exists(QLatin1Char(':') + path) && path != QLatin1String("/Help_webview.qml"))
                    missing << path;
            }
        }
        QVERIFY(seen > 15);
        QCOMPARE(missing, QStringList());
    }

    void helpPagesCarryWhatTheRewritingExpects()
    {
        QFile help(QStringLiteral(":/Help/English/DesktopHelp.htm"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(help.readAll());
        QVERIFY(page.contains(QLatin1String("src=\"./Quillmere Help_files/")));
        QVERIFY(page.contains(QLatin1String(" small;")));
        QVERIFY(page.contains(QLatin1String(" large;")));
        QVERIFY(QFile::exists(QStringLiteral(":/Help/English/chart.png")));
        for (const QString &language : {QStringLiteral("English/quillmere_privacy_policy_en.html"),
                                        QStringLiteral("French/quillmere_privacy_policy_fr.html")}) {
            QFile policy(QStringLiteral(":/Help/") + language);
            QVERIFY2(policy.open(QIODevice::ReadOnly), qPrintable(language));
            const QString text = QString::fromUtf8(policy.readAll());
            const QRegularExpression image(QStringLiteral("src=\"([^\"/]+)\""));
            const auto match = image.match(text);
            QVERIFY(match.hasMatch()); // a relative name, resolved by the page's folder
            QVERIFY(QFile::exists(QStringLiteral(":/Help/") + language.section(QLatin1Char('/'), 0, 0)
                                  + QLatin1Char('/') + match.captured(1)));
        }
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
