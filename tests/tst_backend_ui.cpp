// The small services the screens ask the back end for: the help and privacy
// pages as rich text, help addresses, text widths, version, time and the
// fixed answers of a desktop.
#include "backend.h"
#include "settingsstore.h"
#include "testsupport.h"

#include <QApplication>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QtTest>

using namespace TestSupport;

namespace {
QString resourceText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Every image a page refers to must be found in the resources.
void verifyImagesResolve(const QString &html)
{
    const QRegularExpression src(QStringLiteral("src=\"([^\"]*)\""));
    auto it = src.globalMatch(html);
    int images = 0;
    while (it.hasNext()) {
        const QString path = it.next().captured(1);
        QVERIFY2(QFile::exists(QLatin1Char(':') + path), qPrintable(path));
        ++images;
    }
    QVERIFY(images > 0);
}
} // namespace

class TestBackendUi : public QObject
{
    Q_OBJECT

    TempWorkDir *m_dir = nullptr;
    BackEnd *m_backend = nullptr;

private slots:
    void init()
    {
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

    void helpPageRewritten()
    {
        const QString page = resourceText(QStringLiteral(":/Help/English/DesktopHelp.htm"));
        QVERIFY(page.contains(QLatin1String(" small;")));
        QVERIFY(page.contains(QLatin1String(" large;")));
        QVERIFY(page.contains(QLatin1String("src=\"./Quillmere Help_files/")));

        // Whatever the language, the desktop help is the English page.
        m_backend->setSetting(QStringLiteral("language"), 1);
        const QString html = m_backend->getHelpHtml();

        // Each size one step up: small ends as large, never as x-large.
        QCOMPARE(html.count(QLatin1String(" small;")), 0);
        QCOMPARE(html.count(QLatin1String(" large;")), page.count(QLatin1String(" small;")));
        QCOMPARE(html.count(QLatin1String(" x-large;")), page.count(QLatin1String(" large;")));
        QCOMPARE(html.count(QLatin1String("&nbsp;<img ")), page.count(QLatin1String("<img ")));
        QVERIFY(!html.contains(QLatin1String("Quillmere Help_files")));
        verifyImagesResolve(html);

        // Nothing else changed: undoing the four steps gives the page back.
        QString undone = html;
        undone.replace(QLatin1String("src=\"/Help/English/"), QLatin1String("src=\"./Quillmere Help_files/"));
        undone.replace(QLatin1String(" large;"), QLatin1String(" small;"));
        undone.replace(QLatin1String(" x-large;"), QLatin1String(" large;"));
        undone.replace(QLatin1String("&nbsp;<img "), QLatin1String("<img "));
        QCOMPARE(undone, page);
    }

    void privacyPolicyByLanguage_data()
    {
        QTest::addColumn<QVariant>("language");
        QTest::addColumn<QString>("folder");
        QTest::newRow("default English") << QVariant() << "English";
        QTest::newRow("English") << QVariant(0) << "English";
        QTest::newRow("French") << QVariant(1) << "French";
        QTest::newRow("any other value is French") << QVariant(2) << "French";
    }

    void privacyPolicyByLanguage()
    {
        QFETCH(QVariant, language);
        QFETCH(QString, folder);
        if (language.isValid())
            m_backend->setSetting(QStringLiteral("language"), language);
        const QString suffix = folder == QLatin1String("English") ? QStringLiteral("en") : QStringLiteral("fr");
        const QString page = resourceText(
            QStringLiteral(":/Help/%1/quillmere_privacy_policy_%2.html").arg(folder, suffix));
        QVERIFY(page.contains(QLatin1String("<img ")));
        QVERIFY(page.contains(QLatin1String(" small;")));

        const QString html = m_backend->getPrivacyPolicy();
        QCOMPARE(html.count(QLatin1String(" small;")), 0);
        QCOMPARE(html.count(QLatin1String(" medium;")),
                 page.count(QLatin1String(" small;")) + page.count(QLatin1String(" medium;")));
        QCOMPARE(html.count(QLatin1String("&nbsp;<img ")), page.count(QLatin1String("<img ")));
        QCOMPARE(html.count(QStringLiteral("src=\"/Help/%1/").arg(folder)), page.count(QLatin1String("src=\"")));
        verifyImagesResolve(html);

        // Nothing else changed (sizes compared as small, since the page may
        // already hold medium ones).
        QString undone = html;
        undone.replace(QStringLiteral("src=\"/Help/%1/").arg(folder), QLatin1String("src=\""));
        undone.replace(QLatin1String("&nbsp;<img "), QLatin1String("<img "));
        undone.replace(QLatin1String(" medium;"), QLatin1String(" small;"));
        QString original = page;
        original.replace(QLatin1String(" medium;"), QLatin1String(" small;"));
        QCOMPARE(undone, original);
    }

    void helpUrls_data()
    {
        QTest::addColumn<QVariant>("language");
        QTest::addColumn<QString>("ending");
        QTest::newRow("default") << QVariant() << "help_files/English/Quillmere_help_vQT.htm";
        QTest::newRow("English") << QVariant(0) << "help_files/English/Quillmere_help_vQT.htm";
        QTest::newRow("French") << QVariant(1) << "help_files/French/Quillmere_help_vQT_FRENCH.htm";
        QTest::newRow("other is French") << QVariant(3) << "help_files/French/Quillmere_help_vQT_FRENCH.htm";
    }

    void helpUrls()
    {
        QFETCH(QVariant, language);
        QFETCH(QString, ending);
        if (language.isValid())
            m_backend->setSetting(QStringLiteral("language"), language);
        // The local folder need not exist.
        QVERIFY(!QFile::exists(QStringLiteral("help_files")));
        const QUrl url = m_backend->getHelpUrl();
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), QStringLiteral("./") + ending);
        const QUrl base = m_backend->getHelpBaseUrl();
        QVERIFY(base.isLocalFile());
        QCOMPARE(base.toLocalFile(), QStringLiteral("./help_files"));
    }

    void horizontalAdvance_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("capped");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("short") << "9600" << false;
        QTest::newRow("the sample itself") << "this is enough wide xxxxxxxxxxx" << false;
        QTest::newRow("wider than the sample") << "this is enough wide xxxxxxxxxxx and then some more" << true;
        QTest::newRow("one long word") << QString(200, QLatin1Char('W')) << true;
    }

    void horizontalAdvance()
    {
        QFETCH(QString, text);
        QFETCH(bool, capped);
        const QFontMetrics metrics(QApplication::font());
        const int sample = metrics.horizontalAdvance(QStringLiteral("this is enough wide xxxxxxxxxxx"));
        QVERIFY(sample > 0);
        const int advance = m_backend->getHorizontalAdvance(text);
        QCOMPARE(advance, capped ? sample : metrics.horizontalAdvance(text));
        QVERIFY(advance <= sample);
        if (text.isEmpty())
            QCOMPARE(advance, 0);
    }

    void columnWidth()
    {
        const QFontMetrics metrics(QApplication::font());
        QCOMPARE(m_backend->getColWidth(),
                 metrics.horizontalAdvance(QStringLiteral("this is the size of very big big big big column")));
        QVERIFY(m_backend->getColWidth() > m_backend->getHorizontalAdvance(QStringLiteral("x")));
    }

    void permissionAlreadyAsked_data()
    {
        QTest::addColumn<int>("question");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("asked");
        for (int q = 1; q <= 3; ++q) {
            const QByteArray n = QByteArray::number(q);
            QTest::newRow(n + " missing") << q << QVariant() << false;
            QTest::newRow(n + " holds 0") << q << QVariant(0) << false;
            QTest::newRow(n + " holds 1") << q << QVariant(1) << true;
            QTest::newRow(n + " holds 2") << q << QVariant(2) << false;
            QTest::newRow(n + " holds text 1") << q << QVariant(QStringLiteral("1")) << true;
        }
    }

    void permissionAlreadyAsked()
    {
        QFETCH(int, question);
        QFETCH(QVariant, stored);
        QFETCH(bool, asked);
        if (stored.isValid())
            m_backend->setSetting(QStringLiteral("androidPermissionAsked%1").arg(question), stored);
        const bool answers[] = {m_backend->androidPermissionAlreadyAsked1(),
                                m_backend->androidPermissionAlreadyAsked2(),
                                m_backend->androidPermissionAlreadyAsked3()};
        for (int q = 1; q <= 3; ++q)
            QCOMPARE(answers[q - 1], q == question && asked);
    }

    void desktopAnswers()
    {
        QCOMPARE(m_backend->getVersion(), QStringLiteral("3.0.0"));
        QVERIFY(!m_backend->isPhone());
        QVERIFY(m_backend->checkPermissionPart1());
        QVERIFY(m_backend->checkPermissionPart2());
        QVERIFY(m_backend->checkPermissionPart3());
        QVERIFY(m_backend->askPermissionPart1());
        QVERIFY(m_backend->askPermissionPart2());
        QVERIFY(m_backend->askPermissionPart3());
    }

    void currentTimeFollowsTheClock()
    {
        Clock::setWallClock(1796479509000); // 2026-12-05 14:05:09 UTC
        QCOMPARE(m_backend->getCurrentTime(), qlonglong(1796479509));
        Clock::advance(61500);
        QCOMPARE(m_backend->getCurrentTime(), qlonglong(1796479570));
        Clock::reset();
        QVERIFY(qAbs(m_backend->getCurrentTime() - QDateTime::currentSecsSinceEpoch()) <= 1);
    }

    void serialPortsListed()
    {
        const auto infos = QSerialPortInfo::availablePorts();
        const QStringList ports = m_backend->getSerialPorts();
        QCOMPARE(ports.size(), infos.size());
        for (int i = 0; i < ports.size(); ++i)
            QCOMPARE(ports.at(i), infos.at(i).portName() + QLatin1Char(' ') + infos.at(i).description());
    }
};

QTEST_MAIN(TestBackendUi)
#include "tst_backend_ui.moc"
