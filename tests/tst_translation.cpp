// The language switch: translators, default locale, retranslation, signal.
#include "testsupport.h"
#include "translationhandler.h"

#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QtTest>

using namespace TestSupport;

class TestTranslation : public QObject
{
    Q_OBJECT

private:
    // Qt's own catalogue turns this into French.
    static QString qtCancel() { return QCoreApplication::translate("QPlatformTheme", "Cancel"); }
    static void copyCatalogues()
    {
        QVERIFY(QFile::copy(QStringLiteral(QUILLMERE_BIN_DIR "/translations/Quillmere_fr_FR.qm"),
                            QStringLiteral("Quillmere_fr_FR.qm")));
        QVERIFY(QFile::copy(QStringLiteral(QUILLMERE_BIN_DIR "/translations/Quillmere_en_US.qm"),
                            QStringLiteral("Quillmere_en_US.qm")));
        QVERIFY(QFile::copy(QStringLiteral("/usr/share/qt5/translations/qt_fr.qm"), QStringLiteral("qt_fr.qm")));
        QVERIFY(QFile::copy(QStringLiteral("/usr/share/qt5/translations/qtbase_fr.qm"),
                            QStringLiteral("qtbase_fr.qm")));
    }

private slots:
    void withoutCataloguesFrenchStillSwitchesLocale()
    {
        TempWorkDir dir;
        MessageLog log;
        QQmlEngine engine;
        TranslationHandler handler(&engine);
        QCOMPARE(handler.getCurrentLanguage(), QStringLiteral("none"));
        QSignalSpy changed(&handler, &TranslationHandler::languageChanged);

        handler.selectLanguage(QStringLiteral("fr"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(handler.getCurrentLanguage(), QStringLiteral("fr"));
        QVERIFY(log.contains(QStringLiteral("translator qtbase empty ? true")));
        QVERIFY(log.contains(QStringLiteral("translator qt empty ? true")));
        QVERIFY(log.contains(QStringLiteral("translator quillmere empty ? true")));
        QCOMPARE(QLocale().decimalPoint(), QChar(','));
        QCOMPARE(QObject::tr("deg"), QStringLiteral("deg"));

        // The same language again: nothing at all.
        handler.selectLanguage(QStringLiteral("fr"));
        QCOMPARE(changed.count(), 1);
    }

    void switchesCataloguesBothWays()
    {
        TempWorkDir dir;
        copyCatalogues();
        MessageLog log;
        QQmlEngine engine;
        TranslationHandler handler(&engine);
        QSignalSpy changed(&handler, &TranslationHandler::languageChanged);

        handler.selectLanguage(QStringLiteral("fr"));
        QVERIFY(log.contains(QStringLiteral("translator qtbase empty ? false")));
        QVERIFY(log.contains(QStringLiteral("translator quillmere empty ? false")));
        QCOMPARE(QObject::tr("deg"), QStringLiteral("°"));
        QCOMPARE(qtCancel(), QStringLiteral("Annuler"));

        handler.selectLanguage(QStringLiteral("en"));
        QCOMPARE(handler.getCurrentLanguage(), QStringLiteral("en"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(qtCancel(), QStringLiteral("Cancel")); // Qt's texts back to English
        QCOMPARE(QLocale().decimalPoint(), QChar('.'));
        QCOMPARE(QLocale().name(), QStringLiteral("en_US"));
    }

    void unknownLanguageOnlySignals()
    {
        TempWorkDir dir;
        QQmlEngine engine;
        TranslationHandler handler(&engine);
        handler.selectLanguage(QStringLiteral("en"));
        QSignalSpy changed(&handler, &TranslationHandler::languageChanged);
        handler.selectLanguage(QStringLiteral("de"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(handler.getCurrentLanguage(), QStringLiteral("en"));
        QCOMPARE(QLocale().name(), QStringLiteral("en_US"));
    }

    void engineTextsFollowTheLanguage()
    {
        TempWorkDir dir;
        copyCatalogues();
        QQmlEngine engine;
        TranslationHandler handler(&engine);
        QQmlComponent component(&engine);
        component.setData("import QtQml 2.15\nQtObject { property string unit: qsTranslate(\"QObject\", \"deg\") }",
                          QUrl());
        QScopedPointer<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        QCOMPARE(object->property("unit").toString(), QStringLiteral("deg"));
        handler.selectLanguage(QStringLiteral("fr"));
        QCOMPARE(object->property("unit").toString(), QStringLiteral("°"));
        // The English catalogue shows the degree sign as well.
        handler.selectLanguage(QStringLiteral("en"));
        QCOMPARE(object->property("unit").toString(), QStringLiteral("°"));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
