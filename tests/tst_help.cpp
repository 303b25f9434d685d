// The help tab in the real window: guide, privacy policy, language, links, images.
#include "screenharness.h"

#include <QDesktopServices>
#include <QRegularExpression>
#include <QTextDocument>
#include <QtTest>

class TestHelp : public QObject
{
    Q_OBJECT

public slots:
    void openLink(const QUrl &url) { m_links << url; } // the browser, as the desktop sees it

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); QDesktopServices::setUrlHandler("https", this, "openLink"); }

    void guidePolicyLinksAndImages()
    {
        ScreenHarness screen;
        QVERIFY(screen.waitExposed());
        const char *pages[] = {"Quillmere privacy policy", "Quillmere user guide", "Politique de confidentialit"};
        for (int n = 0; n < 3; ++n) {
            if (n == 2) {
                g_backEnd->setSetting("language", 1);
                screen.translateHandler()->selectLanguage("fr");
            }
            if (n != 1) { // the tab opens on the guide, which exists in English only
                screen.click(screen.find<QQuickItem>("tabHelp"));
                QTRY_VERIFY(text(screen).contains("Quillmere user guide"));
                if (n == 0) { // a click on the first link, in the opening paragraph
                    QQuickItem *edit = screen.find<QQuickItem>("helpText");
                    QTextDocument page;
                    page.setHtml(g_backEnd->getHelpHtml());
                    QRectF glyph;
                    QMetaObject::invokeMethod(edit, "positionToRectangle", Q_RETURN_ARG(QRectF, glyph),
                                              Q_ARG(int, page.toPlainText().indexOf("Brenlow USB barometer") + 3));
                    screen.click(edit, glyph.center());
                    QTRY_COMPARE(m_links, QList<QUrl>{QUrl("https://www.brenlow.example/usb-barometer")});
                }
                QQuickItem *bar = screen.find<QQuickItem>("helpScrollBar"); // pressed near its end
                screen.click(bar, QPointF(bar->width() / 2, bar->height() * 0.9));
                QTRY_VERIFY(screen.find<QQuickItem>("helpScroller")->property("contentY").toDouble() > 0.0);
            }
            m_log.clear();
            screen.click(screen.find<QQuickItem>("helpButton"));
            QVERIFY(text(screen).contains(pages[n]));
            QCOMPARE(screen.find<QQuickItem>("helpScroller")->property("contentY").toDouble(), 0.0);
            // Every image is in the resources and was shown without complaint.
            const QString html = n == 1 ? g_backEnd->getHelpHtml() : g_backEnd->getPrivacyPolicy();
            QVERIFY(html.count("<img ") >= (n == 1 ? 6 : 1));
            for (auto it = QRegularExpression("<img [^>]*src=\"([^\"]+)\"").globalMatch(html); it.hasNext();)
                QVERIFY(!QImage(':' + it.next().captured(1)).isNull());
            QCOMPARE(ScreenHarness::qmlProblems(m_log), QStringList()); // a missing image names itself there
        }
    }

private:
    static QString text(const ScreenHarness &screen) { return screen.find<QQuickItem>("helpText")->property("text").toString(); }

    TestSupport::MessageLog m_log;
    QList<QUrl> m_links;
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
